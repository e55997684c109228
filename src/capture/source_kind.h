#pragma once
// The kinds of source the video window connects, and the one place where they meet their text: the
// tag the window shows and stores ("Tag", "LastDevice", the device menu, the parameters files) and
// the command line's source names.

#include "platform/media/devices.h"

#include <QString>

#include <optional>
#include <vector>

namespace kestrova {

enum class SourceKind {
    None,    // nothing connected
    Failed,  // a capture-window driver that did not connect
    Vfw,     // a capture-window driver
    Wdm,     // a device through the capture control
    Wms,     // a network stream or file
    Http,    // an IP camera
};

// "", "0", "vfw", "wdm", "wms", "http".
QString TagText(SourceKind kind);
// The kind a tag names; nothing for another text (a menu's heading, "unplug", "info").
std::optional<SourceKind> KindOfTag(const QString& tag);

// What the device menu's entries besides the sources ask for.
enum class DeviceCommand { Connect, Unplug, Info, Heading };
QString CommandTag(DeviceCommand command);  // "unplug", "info", "menu"; a kind's tag for Connect
DeviceCommand CommandOfTag(const QString& tag);

// A source named on the command line: "testpattern", "wdm:N" or "vfw:N" (an index of `devices`),
// "wms:URL" (any URL or file) or "http:URL" (an IP camera). Nothing, with the reason in `error`, for
// a name that fits none of them; `noSuchDevice` tells a well-formed device index that names no device
// (a source that cannot be opened) from a name that is wrong.
struct NamedSource {
    SourceKind kind = SourceKind::None;
    int index = -1;  // of the device, for "wdm" and "vfw"
    media::SourceSettings settings;
};
std::optional<NamedSource> SourceFromName(const QString& name, const std::vector<media::VideoDevice>& devices, QString& error,
                                          bool* noSuchDevice = nullptr);

}  // namespace kestrova
