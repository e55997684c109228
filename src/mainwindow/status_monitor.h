#pragma once
// The status bar texts of the main window's 100 ms tick, as plain functions.

#include <QRect>
#include <QString>

#include <array>

namespace kestrova {

// Free bytes of the file system holding path, found through its nearest existing folder; 0 for a
// relative path or an unreadable file system.
double DiskFreeSpace(const QString& path);

// The "diskcap" panel for F free bytes.
QString DiskSpaceText(double freeBytes);

// The "filesize" panel while a movie is being written.
QString EstimatedSizeText(float estimatedBytes);

// The status panel's three columns (time, dropped frames, driver status): each a third of the width in
// whole twips, the caption 3 twips from the top and its value under it.
struct StatusPanelColumn {
    QRect caption;
    QRect value;
};
std::array<StatusPanelColumn, 3> StatusPanelColumns(int widthPixels, int captionHeightPixels, int valueHeightPixels,
                                                    double twipsPerPixel);

}  // namespace kestrova
