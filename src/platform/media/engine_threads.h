#pragma once
// The engine's threads that nobody joins: a source thread after its stop, a movie being finished.
// Each is counted for its life, so that the program's end can wait until every movie is whole.

#include <chrono>
#include <functional>

namespace kestrova::media {

// Runs `work` on a new detached thread with that name (15 characters at most are kept).
void RunDetached(const char* name, std::function<void()> work);

// Waits until no detached engine thread runs any more; false when some still run at the deadline.
bool WaitForEngineThreads(std::chrono::milliseconds timeout);

// The last step of a program: waits for the engine's threads (movies being finished) up to
// `timeout` and returns `status`. A thread still stuck then (a name lookup ignores the interrupt) is
// left behind by ending the process at once, before it can meet destroyed static objects.
int EndOfProgram(int status, std::chrono::milliseconds timeout = std::chrono::seconds(4));

}  // namespace kestrova::media
