#pragma once
// Codec names by four-character code, from the codec information file "codec.vc", and the code an
// AVI file's video stream is compressed with.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace kestrova {

inline constexpr char CodecInfoMagic[] = "QB2000 CODEC INFO 9091";

// The decoded fields of a codec information file: every character is stored one code higher, fields
// end at a comma or a line end, leading blanks are skipped and a field may be quoted.
QStringList DecodeCodecInfo(const QByteArray& file);

enum class CodecLookup { Found, Unknown, NoFile, BadFile };

struct CodecNameResult {
    CodecLookup status = CodecLookup::NoFile;
    // Found: the codec's name; Unknown: "Unknown CODEC (CODE)"; BadFile: "Error"; NoFile: empty.
    QString name;
};

// The codec of `code` (compared without regard to case) in the file at `path`.
CodecNameResult LookUpCodec(const QString& path, const QByteArray& code);

// The video stream's handler code from the first 200 bytes of an AVI file whose first stream list
// starts where a standard AVI file has it; nothing for any other file. Four 0 bytes: uncompressed.
std::optional<QByteArray> AviVideoHandler(const QString& path);

}  // namespace kestrova
