#include "what_codec_command.h"

#include "cli.h"
#include "avitools/codec_info.h"
#include "core/folders.h"

#include <QFileInfo>

#include <cstdio>

namespace kestrova::cli {

namespace {

int fail(int status, const QString& text) { return SayFailure("what-codec", status, text); }

}  // namespace

int RunWhatCodecCommand(const QStringList& arguments) {
    if (arguments.size() != 1 || arguments.front().startsWith(QStringLiteral("--"))) {
        return fail(ExitUsage, QStringLiteral("usage: what-codec FILE.avi"));
    }
    const QString& path = arguments.front();
    if (!QFileInfo(path).isFile()) return fail(ExitFailed, QStringLiteral("cannot open %1").arg(path));
    const std::optional<QByteArray> handler = AviVideoHandler(path);
    if (!handler) return fail(ExitFailed, QStringLiteral("%1 is not a standard AVI file").arg(path));
    if (*handler == QByteArray(4, '\0')) {
        std::printf("none\tIs not compressed. Codec not required.\n");
        return ExitOk;
    }
    const CodecNameResult result = LookUpCodec(DataFilePath(QStringLiteral("codec.vc")), *handler);
    if (result.status == CodecLookup::NoFile) return fail(ExitFailed, QStringLiteral("ERROR C100: Can't find CODEC Information file."));
    if (result.status == CodecLookup::BadFile) return fail(ExitFailed, QStringLiteral("ERROR C101: Error in Script Alpha."));
    std::printf("%s\t%s\n", QString::fromLatin1(handler->toUpper()).toUtf8().constData(), result.name.toUtf8().constData());
    return ExitOk;
}

}  // namespace kestrova::cli
