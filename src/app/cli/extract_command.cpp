#include "extract_command.h"

#include "cli.h"
#include "options.h"
#include "avitools/frame_extraction.h"

#include <cstdio>

namespace kestrova::cli {

namespace {

int fail(int status, const QString& text) { return SayFailure("extract", status, text); }

}  // namespace

int RunExtractCommand(const QStringList& arguments) {
    QString error;
    const std::optional<Options> options =
        ParseOptions(arguments, {QStringLiteral("in"), QStringLiteral("out"), QStringLiteral("quality")}, {}, error);
    if (!options) return fail(ExitUsage, error);
    const QString in = options->value(QStringLiteral("in"));
    const QString out = options->value(QStringLiteral("out"));
    if (in.isEmpty() || out.isEmpty() || !options->positional.isEmpty()) {
        return fail(ExitUsage, QStringLiteral("usage: extract --in FILE.avi --out NAME.bmp|NAME.jpg [--quality N]"));
    }
    if (KindOfName(out) == PictureKind::None) return fail(ExitUsage, QStringLiteral("--out must end in .bmp or .jpg"));
    const std::optional<int> quality = ParseInt(options->value(QStringLiteral("quality"), QStringLiteral("75")), 1, 100);
    if (!quality) return fail(ExitUsage, QStringLiteral("bad quality \"%1\" (1 to 100)").arg(options->value(QStringLiteral("quality"))));

    FrameExtraction extraction;
    if (const QString failed = extraction.open(in, out, *quality); !failed.isEmpty()) return fail(ExitFailed, failed);
    FrameProgress progress("extracting", in);
    for (;;) {
        const FrameExtraction::Step step = extraction.step();
        if (step == FrameExtraction::Step::Done) break;
        // A movie that cannot give all its frames is damaged: what it gave is taken back.
        if (step != FrameExtraction::Step::Wrote) {
            extraction.removeWritten();
            if (step == FrameExtraction::Step::Failed) return fail(ExitFailed, extraction.failure());
            return fail(ExitFailed, QStringLiteral("%1 is damaged: %2").arg(in, extraction.failure()));
        }
        progress.show(extraction.next(), extraction.count());
    }
    progress.finish();
    std::printf("frames=%lld first=%s\n", static_cast<long long>(extraction.count()), ExtractedFrameName(out, 0).toLocal8Bit().constData());
    return ExitOk;
}

}  // namespace kestrova::cli
