#include "build_avi_command.h"

#include "cli.h"
#include "options.h"
#include "avitools/avi_builder.h"
#include "platform/media/recorder.h"

#include <cstdio>
#include <thread>

namespace kestrova::cli {

namespace {

int fail(int status, const QString& text) { return SayFailure("build-avi", status, text); }

QString codecKeys() {
    QStringList keys;
    for (const media::VideoCompressor& compressor : media::VideoCompressors()) keys << compressor.key;
    return keys.join(u' ');
}

}  // namespace

const char* BuildAviUsage() {
    static const QByteArray usage =
        QStringLiteral("--out FILE.avi [--fps N] [--codec NAME] BITMAP...  (N: 1 to 120, default 11; NAME: %1)").arg(codecKeys()).toUtf8();
    return usage.constData();
}

int RunBuildAviCommand(const QStringList& arguments) {
    QString error;
    const std::optional<Options> options = ParseOptions(arguments, {QStringLiteral("out"), QStringLiteral("fps"), QStringLiteral("codec")}, {}, error);
    if (!options) return fail(ExitUsage, error);
    AviBuildSettings settings;
    settings.out = options->value(QStringLiteral("out"));
    settings.paths = options->positional;
    if (settings.out.isEmpty() || settings.paths.isEmpty()) return fail(ExitUsage, QStringLiteral("--out and at least one bitmap are needed"));
    const std::optional<int> fps = ParseInt(options->value(QStringLiteral("fps"), QStringLiteral("11")), 1, 120);
    if (!fps) return fail(ExitUsage, QStringLiteral("bad frame rate \"%1\" (a whole number from 1 to 120)").arg(options->value(QStringLiteral("fps"))));
    settings.fps = *fps;
    settings.compressor = media::VideoCompressorByKey(options->value(QStringLiteral("codec"), QStringLiteral("mjpeg")).toLower());
    if (settings.compressor < 0) {
        return fail(ExitUsage, QStringLiteral("unknown codec \"%1\" (one of: %2)").arg(options->value(QStringLiteral("codec")), codecKeys()));
    }

    AviBuild build(settings);
    bool firstUnreadable = false;
    if (const QString failed = build.start(firstUnreadable); !failed.isEmpty()) return fail(ExitFailed, failed);
    FrameProgress progress("building", settings.out);
    for (;;) {
        const AviBuild::Step step = build.step();
        if (step == AviBuild::Step::Busy) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            continue;
        }
        if (step == AviBuild::Step::Failed) return fail(ExitFailed, build.failure());
        if (step == AviBuild::Step::Done) break;
        progress.show(build.next(), build.count());
    }
    progress.finish();
    if (const QString failed = build.finish(); !failed.isEmpty()) return fail(ExitFailed, failed);
    std::printf("frames=%d fps=%d file=%s\n", build.count(), settings.fps, settings.out.toLocal8Bit().constData());
    return ExitOk;
}

}  // namespace kestrova::cli
