#pragma once

#include <QString>

namespace kestrova {

class Master;

struct StartOptions {
    int splashMilliseconds = 3000;
    QString commandLine;  // a capture parameters file to open
};

// The start procedure: defaults, start settings, the splash window, the preferences, the main window.
// Returns the main window it showed (none when the system asked to close meanwhile); the caller
// runs the event loop.
Master* Main(const StartOptions& options = {});

// The whole program as main() runs it: the system's close requests handled, the start inside the
// event loop (so that a close request during any of its windows ends the loop for good), the loop,
// and the end, which waits for a movie being finished. Returns the program's exit status.
int RunProgram(const StartOptions& options);

}  // namespace kestrova
