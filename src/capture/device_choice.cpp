#include "device_choice.h"
#include "source_kind.h"

#include "core/number_forms.h"
#include "core/translate.h"
#include "platform/capture_window.h"

namespace kestrova {

namespace {

const QString Heading = CommandTag(DeviceCommand::Heading);

DeviceMenuEntry Separator() { return {QString(), QStringLiteral("-"), Heading}; }

bool IsDevice(const QString& tag) {
    const std::optional<SourceKind> kind = KindOfTag(tag);
    return kind == SourceKind::Vfw || kind == SourceKind::Wdm;
}

}  // namespace

std::vector<DeviceMenuEntry> BuildDeviceMenu(const QStringList& vfwDrivers, bool newerWindows,
                                             const QStringList& wdmDevices) {
    std::vector<DeviceMenuEntry> menu;
    if (vfwDrivers.isEmpty()) {
        menu.push_back({QString(), Translate(QStringLiteral("no Video for Windows devices detected")), Heading, false});
    }
    for (int i = 0; i < vfwDrivers.size(); ++i) {
        menu.push_back({QStringLiteral("i%1").arg(i), vfwDrivers[i] + QStringLiteral("(VFW)"), TagText(SourceKind::Vfw)});
    }
    menu.push_back(Separator());
    if (newerWindows) {
        for (int i = 0; i < wdmDevices.size(); ++i) {
            menu.push_back({QStringLiteral("w%1").arg(i), wdmDevices[i], TagText(SourceKind::Wdm)});
        }
    } else {
        menu.push_back({QString(),
                        Translate(QStringLiteral("WDM devices are only supported under Windows 2000 or higher")), Heading,
                        false});
    }
    menu.push_back(Separator());
    menu.push_back({QString(), QStringLiteral("Capture Video Stream... (Windows Media Stream)"), TagText(SourceKind::Wms)});
    menu.push_back(Separator());
    menu.push_back({QString(), QStringLiteral("IP Camera... (JPEG HTTP)"), TagText(SourceKind::Http)});
    menu.push_back(Separator());
    menu.push_back({QString(), QStringLiteral("Video Device Information..."), CommandTag(DeviceCommand::Info)});
    menu.push_back({QString(), QStringLiteral("Disconnect driver to unplug external device"), CommandTag(DeviceCommand::Unplug)});
    return menu;
}

QStringList VfwDriverNames() {
    QStringList names;
    const int count = capDriverCount();
    for (int i = 0; i < count; ++i) names << capDriverName(i);
    return names;
}

int DeviceIdFromKey(const QString& key) { return key.isEmpty() ? 0 : int(Val(key.mid(1))); }

ChooserList ChooserEntries(const std::vector<DeviceMenuEntry>& menu, const QString& lastDevice) {
    ChooserList list;
    for (const DeviceMenuEntry& entry : menu) {
        if (!IsDevice(entry.tag) || entry.text.isEmpty()) continue;
        list.items.push_back(entry);
        if (entry.text == lastDevice) list.selected = int(list.items.size()) - 1;
    }
    // With nothing stored or nothing matching, the first device stays selected so a first run connects it.
    if (list.selected < 0 && !list.items.empty()) list.selected = 0;
    return list;
}

QString CountdownCaption(const QString& caption, int counter) {
    return caption + QStringLiteral(" (") + QString::number(ChooserCountdown - counter) +
           Translate(QStringLiteral(" sec")) + u')';
}

QString FormatItemText(const media::FormatRow& row) {
    return QStringLiteral("%1 x %2 (%3bpp)").arg(row.width).arg(row.height).arg(row.bitsPerPixel);
}

std::vector<InfoLine> VideoInfoLines(const QString& kind, const QString& caption, const QString& version,
                                     const CAPDRIVERCAPS& caps) {
    const QColor white(255, 255, 255);
    auto yesNo = [](int32_t flag) { return flag ? QStringLiteral("Yes") : QStringLiteral("No"); };
    const std::optional<SourceKind> source = KindOfTag(kind);
    if (source == SourceKind::Vfw) {
        return {{QStringLiteral("Driver:") + caption, white},
                {QStringLiteral("Version: ") + version, white},
                {QString(), QColor(0, 0, 0)},
                {QStringLiteral("Capture System: MS-VIDEO"), white},
                {QStringLiteral("Has Source Dialog: ") + yesNo(caps.fHasDlgVideoSource), white},
                {QStringLiteral("Has Format Dialog: ") + yesNo(caps.fHasDlgVideoFormat), white},
                caps.fHasOverlay ? InfoLine{QStringLiteral("Support Overlay"), white}
                                 : InfoLine{QStringLiteral("Overlay not supported"), QColor(250, 0, 0)}};
    }
    if (source != SourceKind::Wdm) return {};
    return {{QStringLiteral("Driver:") + caption, white},
            {QString(), white},
            {QStringLiteral("Capture System: WDM Video"), white}};
}

}  // namespace kestrova
