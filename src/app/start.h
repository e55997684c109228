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

}  // namespace kestrova
