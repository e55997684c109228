#include "avi_info_command.h"

#include "cli.h"
#include "options.h"
#include "avitools/avi_info.h"

#include <cstdio>

namespace kestrova::cli {

namespace {

int fail(int status, const QString& text) { return SayFailure("avi-info", status, text); }

}  // namespace

int RunAviInfoCommand(const QStringList& arguments) {
    QString error;
    const std::optional<Options> options = ParseOptions(arguments, {QStringLiteral("info")}, {}, error);
    if (!options) return fail(ExitUsage, error);
    if (options->positional.size() != 1) return fail(ExitUsage, QStringLiteral("usage: avi-info FILE.avi [--info KEY=TEXT]..."));
    const QString& path = options->positional.front();
    const QStringList assignments = options->values.value(QStringLiteral("info"));
    if (assignments.isEmpty()) {
        const std::vector<AviInfoList> lists = ReadAviInfo(path, error);
        if (!error.isEmpty()) return fail(ExitFailed, error);
        // The list appended last is the one that counts; earlier ones stay in the file.
        if (!lists.empty()) {
            for (const AviInfoEntry& entry : lists.back()) {
                std::printf("%s\t%s\n", AviInfoKeyOfId(entry.id).toUtf8().constData(), entry.text.toUtf8().constData());
            }
        }
        return ExitOk;
    }
    AviInfoTexts texts;
    for (const QString& assignment : assignments) {
        error = ParseAviInfoAssignment(assignment, texts);
        if (!error.isEmpty()) return fail(ExitUsage, error);
    }
    error = WriteAviInfo(path, texts);
    if (!error.isEmpty()) return fail(ExitFailed, error);
    return ExitOk;
}

}  // namespace kestrova::cli
