// The readers of AVI files and codec information files on arbitrary bytes: the RIFF chunk walk, the
// INFO lists, the INFO writer (which must refuse or append, never corrupt), the handler code of What
// Codec... and the decoding of "codec.vc".

#include "avitools/avi_info.h"
#include "avitools/codec_info.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

using namespace kestrova;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir folder;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString path = folder.filePath(QStringLiteral("movie.avi"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) return 0;
    }
    QString why;
    AviRiffChunks(path, why);
    ReadAviInfo(path, why);
    AviVideoHandler(path);
    DecodeCodecInfo(bytes);
    LookUpCodec(path, "MJPG");
    // The writer either refuses and leaves the bytes, or appends exactly one list.
    const QString failed = WriteAviInfo(path, AviInfoTexts{QStringLiteral("c"), QString(), QString(), QString(), QString(), QString()});
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) std::abort();
    const QByteArray after = file.readAll();
    if (!failed.isEmpty() && after != bytes) std::abort();
    // 96 bytes of list, and a pad byte the last chunk may have lacked.
    const qsizetype grown = after.size() - bytes.size();
    if (failed.isEmpty() && grown != 96 && grown != 97) std::abort();
    return 0;
}
