#pragma once
// The status bar texts of the main window's 100 ms tick, as plain functions.

#include <QString>

namespace kestrova {

// Free bytes of the file system holding path, found through its nearest existing folder; 0 for a
// relative path or an unreadable file system.
double DiskFreeSpace(const QString& path);

// The "diskcap" panel for F free bytes.
QString DiskSpaceText(double freeBytes);

// The "filesize" panel while a movie is being written.
QString EstimatedSizeText(float estimatedBytes);

}  // namespace kestrova
