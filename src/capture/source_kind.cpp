#include "source_kind.h"

namespace kestrova {

namespace {

struct Tag {
    SourceKind kind;
    const char* text;
};

constexpr Tag Tags[] = {
    {SourceKind::None, ""}, {SourceKind::Failed, "0"}, {SourceKind::Vfw, "vfw"},
    {SourceKind::Wdm, "wdm"}, {SourceKind::Wms, "wms"}, {SourceKind::Http, "http"},
};

}  // namespace

QString TagText(SourceKind kind) {
    for (const Tag& tag : Tags) {
        if (tag.kind == kind) return QString::fromLatin1(tag.text);
    }
    return {};
}

std::optional<SourceKind> KindOfTag(const QString& text) {
    for (const Tag& tag : Tags) {
        if (text.compare(QLatin1String(tag.text), Qt::CaseInsensitive) == 0) return tag.kind;
    }
    return std::nullopt;
}

QString CommandTag(DeviceCommand command) {
    switch (command) {
    case DeviceCommand::Unplug: return QStringLiteral("unplug");
    case DeviceCommand::Info: return QStringLiteral("info");
    case DeviceCommand::Heading: return QStringLiteral("menu");
    case DeviceCommand::Connect: break;
    }
    return {};
}

DeviceCommand CommandOfTag(const QString& tag) {
    for (const DeviceCommand command : {DeviceCommand::Unplug, DeviceCommand::Info, DeviceCommand::Heading}) {
        if (tag == CommandTag(command)) return command;
    }
    return DeviceCommand::Connect;
}

std::optional<NamedSource> SourceFromName(const QString& name, const std::vector<media::VideoDevice>& devices, QString& error,
                                          bool* noSuchDevice) {
    if (noSuchDevice) *noSuchDevice = false;
    const QString prefix = name.section(u':', 0, 0).toLower();
    const QString rest = name.section(u':', 1);
    if (prefix == QLatin1String(media::KindTestPattern) && rest.isEmpty()) {
        return NamedSource{SourceKind::Wdm, int(devices.size()) - 1, media::TestPatternDevice().settings()};
    }
    const std::optional<SourceKind> kind = KindOfTag(prefix);
    if (kind == SourceKind::Wdm || kind == SourceKind::Vfw) {
        bool number = false;
        const int index = rest.toInt(&number);
        if (!number || index < 0 || index >= int(devices.size())) {
            if (noSuchDevice) *noSuchDevice = number && index >= 0;
            error = QStringLiteral("no video device \"%1\" (kestrova-cli devices lists them)").arg(rest);
            return std::nullopt;
        }
        return NamedSource{*kind, index, devices[size_t(index)].settings()};
    }
    if ((kind == SourceKind::Wms || kind == SourceKind::Http) && !rest.isEmpty()) {
        NamedSource named{*kind, -1, {}};
        named.settings.kind = QString::fromLatin1(*kind == SourceKind::Wms ? media::KindStream : media::KindIpCamera);
        named.settings.address = rest;
        return named;
    }
    error = QStringLiteral("unknown source \"%1\" (testpattern, wdm:N, vfw:N, wms:URL or http:URL)").arg(name);
    return std::nullopt;
}

}  // namespace kestrova
