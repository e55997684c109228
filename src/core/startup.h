#pragma once
// The start-up steps that need no window: the version caption, the defaults of the global state
// record, the settings written at every start and the preferences read before the main window opens.

#include <QString>

namespace kestrova {

// Prepares a process for the program, once its QCoreApplication exists: the application name and
// "." in numbers whatever the locale.
void PrepareApplication();

// title + " Version" + major (sign-column) + "." + minor (two digits at least) + " Build " + revision
// (nothing for 0).
QString BuildVersionText(const QString& title, int major, int minor, int revision);

// Caption, home page, folders, system version and capture defaults of the global state record.
void SetStartDefaults();

// "Version", "Build", "Path", "Date" and "Time" of the running program.
void WriteStartSettings();

// The movie viewer and sound flags, the JPEG quality and the motion tolerance.
void ReadStartPreferences();

}  // namespace kestrova
