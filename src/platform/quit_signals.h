#pragma once
// SIGTERM, SIGINT and SIGHUP as a closing request from the system, delivered on the UI thread.

#include <functional>

namespace kestrova {

// onQuit runs from the event loop each time one of the signals arrives, also while a modal window
// or another local event loop runs. A later call replaces the handler.
void InstallQuitSignalHandler(std::function<void()> onQuit);

}  // namespace kestrova
