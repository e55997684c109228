#include "export_dv_command.h"

#include "cli.h"
#include "options.h"
#include "avitools/dv_stream.h"

#include <cstdio>

namespace kestrova::cli {

namespace {

int fail(int status, const QString& text) { return SayFailure("export-dv", status, text); }

}  // namespace

int RunExportDvCommand(const QStringList& arguments) {
    QString error;
    const std::optional<Options> options = ParseOptions(arguments, {QStringLiteral("in"), QStringLiteral("out")}, {}, error);
    if (!options) return fail(ExitUsage, error);
    const QString in = options->value(QStringLiteral("in"));
    const QString out = options->value(QStringLiteral("out"));
    if (in.isEmpty() || out.isEmpty() || !options->positional.isEmpty()) return fail(ExitUsage, QStringLiteral("usage: export-dv --in FILE.avi --out FILE.dv"));
    DvStreamWriter writer;
    if (const QString failed = writer.open(in, out); !failed.isEmpty()) return fail(ExitFailed, failed);
    FrameProgress progress("exporting", out);
    while (writer.step()) {
        progress.show(writer.next(), writer.count());
    }
    progress.finish();
    if (const QString failed = writer.finish(); !failed.isEmpty()) return fail(ExitFailed, failed);
    std::printf("frames=%lld standard=%s file=%s\n", static_cast<long long>(writer.count()), writer.pal() ? "PAL" : "NTSC",
                out.toLocal8Bit().constData());
    return ExitOk;
}

}  // namespace kestrova::cli
