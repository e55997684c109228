#include "still_command.h"

#include "cli.h"
#include "options.h"

#include "capture/source_kind.h"

#include "core/number_forms.h"
#include "core/settings.h"
#include "imaging/insertion.h"
#include "platform/media/devices.h"
#include "platform/media/media_session.h"
#include "platform/picture_writer.h"



namespace kestrova::cli {

namespace {

int fail(int status, const QString& text) { return SayFailure("still", status, text); }

// A source is opened, its first picture taken, within this time; then the command gives up.
constexpr std::chrono::seconds grabDeadline{12};

}  // namespace

int RunStill(const QStringList& arguments) {
    QString error;
    const auto options = ParseOptions(arguments, {"source", "out", "quality", "insert", "size"}, {}, error);
    if (!options) return fail(ExitUsage, error);
    if (!options->positional.isEmpty()) return fail(ExitUsage, QStringLiteral("unexpected %1").arg(options->positional.front()));
    const QString sourceName = options->value("source");
    const QString out = options->value("out");
    if (sourceName.isEmpty() || out.isEmpty()) return fail(ExitUsage, QStringLiteral("usage: still --source S --out FILE"));

    // The program's own JPEG quality unless one is given.
    int quality = ValInt(GetSetting(SettingsAppVC, "JPEG", "Compression", "100"));
    if (options->has("quality")) {
        const auto given = ParseInt(options->value("quality"), 1, 100);
        if (!given) return fail(ExitUsage, QStringLiteral("--quality takes 1 to 100"));
        quality = *given;
    }

    const std::vector<media::VideoDevice> devices = media::VideoDevices();
    bool missingDevice = false;
    const std::optional<NamedSource> named = SourceFromName(sourceName, devices, error, &missingDevice);
    // A well-formed device index that names no device is a source that cannot be opened.
    if (!named) return fail(missingDevice ? ExitFailed : ExitUsage, error);
    media::SourceSettings settings = named->settings;
    if (options->has("size")) {
        const auto size = ParseSize(options->value("size"));
        if (!size) return fail(ExitUsage, QStringLiteral("--size takes WIDTHxHEIGHT, such as 640x480"));
        settings.size = *size;
    }

    const QString insertion = options->value("insert");
    if (!insertion.isEmpty() && !ReadInsertionFile(insertion)) {
        return fail(ExitFailed, QStringLiteral("cannot read insertion file %1").arg(insertion));
    }

    const media::GrabResult grab = media::GrabFrame(settings, grabDeadline);
    if (!grab.frame.isValid()) return fail(ExitFailed, QStringLiteral("cannot open %1: %2").arg(sourceName, grab.reason));
    QImage picture = grab.frame.image();
    if (!insertion.isEmpty()) ApplyInsertionFile(picture, insertion);
    QString why;
    if (!WritePicture(ViewOf(picture), out, quality, 24, &why)) return fail(ExitFailed, QStringLiteral("cannot write %1: %2").arg(out, why));
    return ExitOk;
}

}  // namespace kestrova::cli
