#include "export_dv_command.h"

#include "cli.h"
#include "options.h"
#include "avitools/dv_stream.h"

#include <cstdio>
#include <unistd.h>

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
    const bool terminal = ::isatty(STDERR_FILENO);
    const std::int64_t every = terminal ? 10 : 100;
    while (writer.step()) {
        if (writer.next() % every == 0 || writer.next() == writer.count()) {
            std::fprintf(stderr, "%sexporting %s: %lld of %lld frames%s", terminal ? "\r" : "", out.toLocal8Bit().constData(),
                         static_cast<long long>(writer.next()), static_cast<long long>(writer.count()), terminal ? "" : "\n");
        }
    }
    if (terminal) std::fputc('\n', stderr);
    if (const QString failed = writer.finish(); !failed.isEmpty()) return fail(ExitFailed, failed);
    std::printf("frames=%lld standard=%s file=%s\n", static_cast<long long>(writer.count()), writer.pal() ? "PAL" : "NTSC",
                out.toLocal8Bit().constData());
    return ExitOk;
}

}  // namespace kestrova::cli
