#pragma once
// Where the program and its files live, and what system it runs on.

#include <QString>

namespace kestrova {

// The folder of a program path with a trailing "/" (a leading "\\?\" is dropped).
QString ProgramFolderFrom(const QString& applicationFolder);
// The folder of the running program, with a trailing "/".
QString ProgramFolder();

// The folder the program keeps its own files in: $KESTROVA_HOME when set, else the program folder
// when a file named "portable" lies beside the program (a build tree, a portable copy), else the
// per-user data folder (created on first use). Always ends in "/".
QString ResolveAppFolder();

// A shipped data file: the copy in AppFolder when there is one, else the one beside the program,
// else the installed one (found from the program's folder first, then from the configured prefix).
QString DataFilePath(const QString& name);

// The "temp" environment variable when set, else the system's temporary folder; ends in "/".
QString TempFolder();

// The running kernel's "major.minor" (for example "6.1"); empty when it cannot be read.
QString WindowsVersion();
// True when a version text reads as a number above 5.0.
bool IsNewerWindows(const QString& version);

}  // namespace kestrova
