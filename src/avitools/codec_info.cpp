#include "codec_info.h"

#include <QFile>

namespace kestrova {

namespace {

// A codec information file is a short list; anything far larger is not one.
constexpr qint64 MaxCodecInfoBytes = 1 << 20;

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool endsField(char c) { return c == ',' || c == '\r' || c == '\n'; }

QString decodeField(const QByteArray& stored) {
    QByteArray plain = stored;
    for (char& c : plain) c = char(static_cast<unsigned char>(c) - 1);
    return QString::fromLatin1(plain);
}

}  // namespace

QStringList DecodeCodecInfo(const QByteArray& file) {
    QStringList fields;
    qsizetype i = 0;
    const qsizetype n = file.size();
    while (i < n) {
        while (i < n && (isBlank(file[i]) || file[i] == '\r' || file[i] == '\n')) ++i;
        if (i >= n) break;
        QByteArray field;
        if (file[i] == '"') {
            const qsizetype close = file.indexOf('"', i + 1);
            const qsizetype end = close < 0 ? n : close;
            field = file.mid(i + 1, end - i - 1);
            i = end + 1;
            while (i < n && !endsField(file[i])) ++i;
        } else {
            const qsizetype start = i;
            while (i < n && !endsField(file[i])) ++i;
            field = file.mid(start, i - start);
            while (!field.isEmpty() && isBlank(field.back())) field.chop(1);
        }
        if (i < n && file[i] == ',') ++i;
        fields << decodeField(field);
    }
    return fields;
}

CodecNameResult LookUpCodec(const QString& path, const QByteArray& code) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {CodecLookup::NoFile, QString()};
    const QStringList fields = DecodeCodecInfo(file.read(MaxCodecInfoBytes));
    if (fields.isEmpty() || fields.front() != QLatin1String(CodecInfoMagic)) return {CodecLookup::BadFile, QStringLiteral("Error")};
    const QString wanted = QString::fromLatin1(code).toUpper();
    for (qsizetype i = 1; i < fields.size(); ++i) {
        if (fields[i].left(4).toUpper() == wanted) return {CodecLookup::Found, fields[i].mid(5)};
    }
    return {CodecLookup::Unknown, QStringLiteral("Unknown CODEC (%1)").arg(wanted)};
}

std::optional<QByteArray> AviVideoHandler(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray head = file.read(200);
    if (head.size() < 116 || head.mid(96, 8).toUpper() != "STRLSTRH") return std::nullopt;
    return head.mid(112, 4);
}

}  // namespace kestrova
