#include "devices_command.h"

#include "cli.h"
#include "capture/source_kind.h"
#include "platform/media/devices.h"

#include <cstdio>

namespace kestrova::cli {

int RunDevices(const QStringList& arguments) {
    if (!arguments.isEmpty()) {
        std::fprintf(stderr, "kestrova-cli devices: takes no options (got \"%s\")\n", arguments.front().toUtf8().constData());
        return ExitUsage;
    }
    QByteArray out;
    auto line = [&out](const QString& kind, std::size_t index, const QString& name) {
        // A tab or line break inside a driver's name would break the columns.
        QString clean = name;
        clean.replace(u'\t', u' ').replace(u'\n', u' ');
        out += kind.toUtf8() + '\t' + QByteArray::number(qulonglong(index)) + '\t' + clean.toUtf8() + '\n';
    };
    const std::vector<media::VideoDevice> video = media::VideoDevices();
    // The capture-window drivers are the same devices, reached through their driver.
    for (std::size_t i = 0; i < video.size(); ++i) line(TagText(SourceKind::Vfw), i, video[i].name);
    for (std::size_t i = 0; i < video.size(); ++i) line(TagText(SourceKind::Wdm), i, video[i].name);
    const std::vector<media::AudioDevice> audio = media::AudioDevices();
    for (std::size_t i = 0; i < audio.size(); ++i) line(QStringLiteral("audio"), i, audio[i].name);
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    return ExitOk;
}

}  // namespace kestrova::cli
