#include "cli.h"

#include "avi_info_command.h"
#include "build_avi_command.h"
#include "devices_command.h"
#include "effect_command.h"
#include "export_dv_command.h"
#include "extract_command.h"
#include "record_command.h"
#include "still_command.h"
#include "webshare_command.h"
#include "what_codec_command.h"

#include "core/settings.h"
#include "core/startup.h"
#include "version.h"

#include <cstdio>

namespace kestrova::cli {

namespace {

void print(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

QString versionCaption() {
    return BuildVersionText(SettingsAppTitle(), build::VersionMajor, build::VersionMinor, build::VersionRevision);
}

QString helpText() {
    QString text = QStringLiteral("Usage: kestrova-cli COMMAND [options]\n"
                                  "       kestrova-cli --version | --help\n\nCommands:\n");
    for (const Command& command : Commands()) {
        text += QStringLiteral("  %1 %2\n").arg(QString::fromLatin1(command.name), -9).arg(QString::fromLatin1(command.usage));
    }
    text += QStringLiteral("\nErrors go to standard error; the exit status is 1 for bad usage and 2 when the work fails.\n");
    return text;
}

}  // namespace

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"devices", "", RunDevices},
        {"still", "--source S --out FILE [--quality N] [--insert FILE.iif] [--size WxH]", RunStill},
        {"effect", "NAME IN.bmp OUT.bmp  (flip mirror greyscale negative soften sharpen diffuse emboss lighting solarize)",
         RunEffectCommand},
        {"record", RecordUsage(), RunRecordCommand},
        {"webshare", "--source S [--port N] [--quality N] [--seconds N]  (the live page until Ctrl+C or N seconds)", RunWebShare},
        {"build-avi", BuildAviUsage(), RunBuildAviCommand},
        {"extract", "--in FILE.avi --out NAME.bmp|NAME.jpg [--quality N]  (every frame as NAME_Frame_000000.bmp ...)",
         RunExtractCommand},
        {"avi-info", "FILE.avi [--info KEY=TEXT]...  (KEY: copyright artist subject product source comments; without --info\n"
                     "            it prints the texts)",
         RunAviInfoCommand},
        {"export-dv", "--in FILE.avi --out FILE.dv  (PAL or NTSC by the movie's frame rate)", RunExportDvCommand},
        {"what-codec", "FILE.avi  (the four-character code of its video and the codec's name)", RunWhatCodecCommand},
    };
    return commands;
}

bool NeedsPainting(const QStringList& arguments) { return arguments.contains(QStringLiteral("--insert")); }

int Run(const QStringList& arguments) {
    if (arguments.isEmpty()) {
        print(stderr, helpText());
        return ExitUsage;
    }
    const QString& first = arguments.front();
    if (first == QStringLiteral("--version")) {
        print(stdout, versionCaption() + u'\n');
        return ExitOk;
    }
    if (first == QStringLiteral("--help") || first == QStringLiteral("-h") || first == QStringLiteral("help")) {
        print(stdout, helpText());
        return ExitOk;
    }
    for (const Command& command : Commands()) {
        if (first == QLatin1String(command.name)) return command.run(arguments.mid(1));
    }
    print(stderr, QStringLiteral("kestrova-cli: unknown command \"%1\" (see kestrova-cli --help)\n").arg(first));
    return ExitUsage;
}

}  // namespace kestrova::cli
