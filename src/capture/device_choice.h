#pragma once
// The device list shared by the "device" drop-down and the chooser, and the small rules around it:
// keys to indices, the chooser's preselection and countdown, format item texts, the information lines.

#include "core/capture_records.h"
#include "platform/media/v4l2_devices.h"

#include <QColor>
#include <QString>
#include <QStringList>

#include <vector>

namespace kestrova {

struct DeviceMenuEntry {
    QString key;   // "i<n>" for a capture-window driver, "w<n>" for a device, empty otherwise
    QString text;  // shown, and passed as the device name on connect
    QString tag;   // the source kind's tag (source_kind.h), or a command's: a heading, "info", "unplug"
    bool enabled = true;
};

std::vector<DeviceMenuEntry> BuildDeviceMenu(const QStringList& vfwDrivers, bool newerWindows,
                                             const QStringList& wdmDevices);

// The capture-window drivers' descriptions, index 0 up to the first index without one.
QStringList VfwDriverNames();

// The number after the key's first character; 0 for an empty key.
int DeviceIdFromKey(const QString& key);

// The chooser's list: the capture-window drivers and devices of the menu, and the row selected.
struct ChooserList {
    std::vector<DeviceMenuEntry> items;
    int selected = -1;  // -1 when the list is empty
};
ChooserList ChooserEntries(const std::vector<DeviceMenuEntry>& menu, const QString& lastDevice);

inline constexpr int ChooserCountdown = 20;
// The start button's caption at a countdown counter of 0 to 20.
QString CountdownCaption(const QString& caption, int counter);

// "640 x 480 (24bpp)"
QString FormatItemText(const media::FormatRow& row);

struct InfoLine {
    QString text;
    QColor colour;
};
// The device information lines for a connected capture-window driver or device; nothing for the others.
std::vector<InfoLine> VideoInfoLines(const QString& kind, const QString& caption, const QString& version = {},
                                     const CAPDRIVERCAPS& caps = {});

}  // namespace kestrova
