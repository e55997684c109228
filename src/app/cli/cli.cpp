#include "cli.h"

#include "avi_info_command.h"
#include "build_avi_command.h"
#include "devices_command.h"
#include "effect_command.h"
#include "export_dv_command.h"
#include "extract_command.h"
#include "record_command.h"
#include "scan_command.h"
#include "still_command.h"
#include "webshare_command.h"
#include "what_codec_command.h"

#include "core/settings.h"
#include "core/startup.h"
#include "version.h"

#include <cstdio>

#include <unistd.h>

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
    text += QStringLiteral("\nkestrova-cli COMMAND --help tells more of a command, with an example.\n"
                           "Errors go to standard error; the exit status is 1 for bad usage and 2 when the work fails.\n");
    return text;
}

bool AsksForHelp(const QStringList& arguments) {
    return arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"));
}

}  // namespace

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"devices", "", RunDevices,
         "Lists the sources: the capture-window drivers (vfw), the devices (wdm) with Test Pattern last,\n"
         "then the sound inputs (audio) with Test Tone last; one tab-separated line each: kind, number, name.",
         "kestrova-cli devices"},
        {"still", "--source S --out FILE [--quality N] [--insert FILE.iif] [--size WxH]", RunStill,
         "Takes one picture from a source.\n"
         "  --source S        testpattern, wdm:N or vfw:N (see devices), http:URL for an IP camera\n"
         "  --out FILE        the picture; its extension chooses the format (bmp, jpg, png, tif, gif, ...)\n"
         "  --quality N       JPEG quality 1..100\n"
         "  --insert FILE.iif stamps the image insertion file's texts and pictures on the picture\n"
         "  --size WxH        the size asked of the device",
         "kestrova-cli still --source testpattern --out still.jpg --quality 90"},
        {"effect", "NAME IN.bmp OUT.bmp  (flip mirror greyscale negative soften sharpen diffuse emboss lighting solarize)",
         RunEffectCommand, "Applies one of the image editor's effects to a bitmap and writes the result as a bitmap.",
         "kestrova-cli effect emboss in.bmp out.bmp"},
        {"record", RecordUsage(), RunRecordCommand,
         "Records a movie (AVI) until Ctrl+C or for the given length; prints the frames the file holds.\n"
         "  --fps R           frames a second, 1..120 (default 30)\n"
         "  --seconds N       the movie's length\n"
         "  --size WxH        the size asked of the device\n"
         "  --audio           with sound: the first sound input, or Test Tone where none exists\n"
         "  --codec NAME      the video compressor",
         "kestrova-cli record --source testpattern --out movie.avi --seconds 10 --audio"},
        {"webshare", "--source S [--port N] [--quality N] [--seconds N]  (the live page until Ctrl+C or N seconds)", RunWebShare,
         "Serves the web page with the live picture, as the web share mode does; the address goes to\n"
         "standard error. Port 0 takes any free port.",
         "kestrova-cli webshare --source testpattern --port 8080"},
        {"build-avi", BuildAviUsage(), RunBuildAviCommand,
         "Builds a movie from bitmaps of one size and depth, in the order given, through the recorder's\n"
         "compressors.\n"
         "  --out FILE.avi    the movie, written whole or not at all\n"
         "  --fps N           frames a second\n"
         "  --codec NAME      the video compressor",
         "kestrova-cli build-avi --out built.avi --fps 10 frame*.bmp"},
        {"extract", "--in FILE.avi --out NAME.bmp|NAME.jpg [--quality N]  (every frame as NAME_Frame_000000.bmp ...)",
         RunExtractCommand,
         "Writes every frame of a movie as numbered pictures beside NAME, BMP or JPEG by its extension.\n"
         "  --quality N       JPEG quality 1..100",
         "kestrova-cli extract --in movie.avi --out shots/frame.jpg --quality 90"},
        {"avi-info", "FILE.avi [--info KEY=TEXT]...  (KEY: copyright artist subject product source comments; without --info\n"
                     "            it prints the texts)",
         RunAviInfoCommand,
         "Prints a movie's information texts, or appends a list of them with --info; a file that is not a\n"
         "whole AVI is left as it was.",
         "kestrova-cli avi-info movie.avi --info artist=Me --info copyright=2026"},
        {"export-dv", "--in FILE.avi --out FILE.dv  (PAL or NTSC by the movie's frame rate)", RunExportDvCommand,
         "Writes a movie as a DV stream file with progress on standard error.",
         "kestrova-cli export-dv --in movie.avi --out movie.dv"},
        {"what-codec", "FILE.avi  (the four-character code of its video and the codec's name)", RunWhatCodecCommand,
         "Names the codec a movie's video needs, from the shipped codec.vc.", "kestrova-cli what-codec movie.avi"},
        {"scan", "--list | --out FILE [--device NAME] [--quality N] [--option NAME=VALUE]...  (a scanner's picture)",
         RunScanCommand,
         "Scans one picture through SANE; --option sets a scanner setting by SANE's name.\n"
         "  --list            prints the scanners SANE finds: name, vendor, model and type\n"
         "  --out FILE        the picture; its extension chooses the format\n"
         "  --device NAME     the scanner (default: the first one listed)\n"
         "  --quality N       JPEG quality 1..100",
         "kestrova-cli scan --out page.jpg --option resolution=150"},
    };
    return commands;
}

FrameProgress::FrameProgress(const char* verb, const QString& name)
    : verb_(verb), name_(name.toLocal8Bit()), terminal_(::isatty(STDERR_FILENO)) {}

void FrameProgress::show(long long done, long long count) {
    if (done % (terminal_ ? 10 : 100) != 0 && done != count) return;
    std::fprintf(stderr, "%s%s %s: %lld of %lld frames%s", terminal_ ? "\r" : "", verb_, name_.constData(), done, count,
                 terminal_ ? "" : "\n");
}

void FrameProgress::finish() {
    if (terminal_) std::fputc('\n', stderr);
}

int SayFailure(const char* command, int status, const QString& text) {
    std::fprintf(stderr, "kestrova-cli %s: %s\n", command, text.toLocal8Bit().constData());
    return status;
}

QString CommandHelp(const Command& command) {
    QString text = QStringLiteral("Usage: kestrova-cli %1 %2\n").arg(QString::fromLatin1(command.name), QString::fromLatin1(command.usage));
    if (*command.details != '\0') text += u'\n' + QString::fromLatin1(command.details) + u'\n';
    if (*command.example != '\0') text += QStringLiteral("\nExample:\n  %1\n").arg(QString::fromLatin1(command.example));
    return text;
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
        if (first != QLatin1String(command.name)) continue;
        if (AsksForHelp(arguments.mid(1))) {
            print(stdout, CommandHelp(command));
            return ExitOk;
        }
        return command.run(arguments.mid(1));
    }
    print(stderr, QStringLiteral("kestrova-cli: unknown command \"%1\" (see kestrova-cli --help)\n").arg(first));
    return ExitUsage;
}

}  // namespace kestrova::cli
