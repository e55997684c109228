#include "avi_info.h"

#include "core/text_files.h"

#include <QFile>
#include <QtEndian>

#include <limits>

namespace kestrova {

namespace {

constexpr std::int64_t ChunkHeader = 8;

void appendSize(QByteArray& bytes, std::uint32_t value) {
    char raw[4];
    qToLittleEndian(value, raw);
    bytes.append(raw, 4);
}

void appendSubChunk(QByteArray& list, const char* id, const QByteArray& text) {
    list.append(id, 4);
    appendSize(list, std::uint32_t(text.size() + 1));
    list.append(text);
    list.append('\0');
    if ((text.size() + 1) % 2) list.append('\0');
}

// The id and size of the chunk at `offset`; false when the file ends before its header does.
bool readHeader(QFile& file, std::int64_t offset, QByteArray& id, std::uint32_t& size) {
    if (!file.seek(offset)) return false;
    const QByteArray header = file.read(ChunkHeader);
    if (header.size() != ChunkHeader) return false;
    id = header.left(4);
    size = qFromLittleEndian<std::uint32_t>(header.constData() + 4);
    return true;
}

std::int64_t padded(std::uint32_t size) { return std::int64_t(size) + (size & 1); }

std::vector<RiffChunk> riffChunks(QFile& file, QString& why) {
    std::vector<RiffChunk> chunks;
    const std::int64_t length = file.size();
    std::int64_t offset = 0;
    while (offset < length) {
        QByteArray id;
        RiffChunk chunk;
        chunk.offset = offset;
        if (!readHeader(file, offset, id, chunk.size) || id != "RIFF" || chunk.size < 4) {
            why = chunks.empty() ? QStringLiteral("not an AVI file") : QStringLiteral("damaged AVI file: data after its RIFF chunks");
            return {};
        }
        chunk.form = file.read(4);
        const QByteArray wanted = chunks.empty() ? QByteArrayLiteral("AVI ") : QByteArrayLiteral("AVIX");
        if (chunk.form != wanted) {
            why = chunks.empty() ? QStringLiteral("not an AVI file") : QStringLiteral("damaged AVI file: a RIFF chunk of form \"%1\"").arg(QString::fromLatin1(chunk.form));
            return {};
        }
        offset += ChunkHeader + padded(chunk.size);
        // A missing pad byte at the very end is harmless; anything more is a cut file.
        if (offset > length + (chunk.size & 1)) {
            why = QStringLiteral("damaged AVI file: truncated (its RIFF chunk needs %1 bytes, the file has %2)").arg(offset).arg(length);
            return {};
        }
        chunks.push_back(chunk);
    }
    if (chunks.empty()) why = QStringLiteral("not an AVI file");
    return chunks;
}

QString decode(QByteArray text) {
    const qsizetype end = text.indexOf('\0');
    if (end >= 0) text.truncate(end);
    return DecodeText(text);
}

}  // namespace

QString ParseAviInfoAssignment(const QString& assignment, AviInfoTexts& texts) {
    const qsizetype equals = assignment.indexOf(u'=');
    const QString key = assignment.left(equals).toLower();
    for (std::size_t i = 0; i < AviInfoItems.size() && equals > 0; ++i) {
        if (key == QString::fromLatin1(AviInfoItems[i]).toLower()) {
            texts[i] = assignment.mid(equals + 1);
            return {};
        }
    }
    return QStringLiteral("bad information text \"%1\" (KEY=TEXT, KEY: copyright artist subject product source comments)").arg(assignment);
}

QString AviInfoKeyOfId(const QByteArray& id) {
    if (id == "INAM") return QStringLiteral("name");
    for (std::size_t i = 0; i < AviInfoIds.size(); ++i) {
        if (id == AviInfoIds[i]) return QString::fromLatin1(AviInfoItems[i]).toLower();
    }
    return QString::fromLatin1(id);
}

QByteArray AviInfoChunk(const AviInfoTexts& texts) {
    // ICOP, IART, ICMT, INAM, IPRD, ISBJ, ISRC: the texts' slots in Vars.AVIInfo, INAM our name.
    const std::array<std::pair<const char*, QByteArray>, 7> order = {{{"ICOP", texts[0].toUtf8()},
                                                                      {"IART", texts[1].toUtf8()},
                                                                      {"ICMT", texts[5].toUtf8()},
                                                                      {"INAM", QByteArrayLiteral("Video Kestrova")},
                                                                      {"IPRD", texts[3].toUtf8()},
                                                                      {"ISBJ", texts[2].toUtf8()},
                                                                      {"ISRC", texts[4].toUtf8()}}};
    QByteArray body("INFO");
    for (const auto& [id, text] : order) appendSubChunk(body, id, text);
    QByteArray chunk("LIST");
    appendSize(chunk, std::uint32_t(body.size()));
    chunk.append(body);
    return chunk;
}

std::vector<RiffChunk> AviRiffChunks(const QString& path, QString& why) {
    why.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        why = QStringLiteral("cannot open %1: %2").arg(path, file.errorString());
        return {};
    }
    return riffChunks(file, why);
}

QString WriteAviInfo(const QString& aviPath, const QString& copyright, const QString& artist, const QString& subject,
                     const QString& product, const QString& source, const QString& comments) {
    return WriteAviInfo(aviPath, AviInfoTexts{copyright, artist, subject, product, source, comments});
}

QString WriteAviInfo(const QString& aviPath, const AviInfoTexts& texts) {
    QFile file(aviPath);
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly | QIODevice::Unbuffered)) return QStringLiteral("cannot open %1: %2").arg(aviPath, file.errorString());
    QString why;
    const std::vector<RiffChunk> chunks = riffChunks(file, why);
    if (!why.isEmpty()) return why;
    // The sizes of earlier RIFF chunks must not grow: they would then swallow the AVIX chunks after them.
    const RiffChunk& last = chunks.back();
    QByteArray appended = AviInfoChunk(texts);
    const std::int64_t length = file.size();
    const std::int64_t end = last.offset + ChunkHeader + padded(last.size);
    if (end > length) appended.prepend('\0');  // the pad byte the file lacks
    // The pad byte of an odd-sized chunk becomes part of the RIFF chunk.
    const std::uint64_t grown = std::uint64_t(last.size) + (last.size & 1) + std::uint64_t(appended.size()) - (end > length ? 1 : 0);
    if (grown > std::numeric_limits<std::uint32_t>::max()) return QStringLiteral("the RIFF chunk would pass 4 GB");

    auto undo = [&](const QString& reason) {
        file.resize(length);
        return reason;
    };
    if (!file.seek(length) || file.write(appended) != appended.size() || !file.flush()) {
        return undo(QStringLiteral("cannot write to %1: %2").arg(aviPath, file.errorString()));
    }
    char size[4];
    qToLittleEndian(std::uint32_t(grown), size);
    if (!file.seek(last.offset + 4) || file.write(size, 4) != 4 || !file.flush()) {
        return undo(QStringLiteral("cannot write to %1: %2").arg(aviPath, file.errorString()));
    }
    file.close();
    if (file.error() != QFileDevice::NoError) return QStringLiteral("cannot write to %1: %2").arg(aviPath, file.errorString());
    return {};
}

std::vector<AviInfoList> ReadAviInfo(const QString& path, QString& why) {
    why.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        why = QStringLiteral("cannot open %1: %2").arg(path, file.errorString());
        return {};
    }
    const std::vector<RiffChunk> chunks = riffChunks(file, why);
    std::vector<AviInfoList> lists;
    const std::int64_t length = file.size();
    for (const RiffChunk& riff : chunks) {
        const std::int64_t riffEnd = std::min(length, riff.offset + ChunkHeader + std::int64_t(riff.size));
        for (std::int64_t offset = riff.offset + 12; offset + ChunkHeader <= riffEnd;) {
            QByteArray id;
            std::uint32_t size = 0;
            if (!readHeader(file, offset, id, size)) break;
            const std::int64_t next = offset + ChunkHeader + padded(size);
            if (id == "LIST" && size >= 4 && next <= riffEnd + 1 && file.read(4) == "INFO") {
                AviInfoList list;
                const std::int64_t listEnd = offset + ChunkHeader + size;
                for (std::int64_t item = offset + 12; item + ChunkHeader <= listEnd;) {
                    QByteArray itemId;
                    std::uint32_t itemSize = 0;
                    if (!readHeader(file, item, itemId, itemSize) || item + ChunkHeader + itemSize > listEnd) break;
                    list.push_back({itemId, decode(file.read(itemSize))});
                    item += ChunkHeader + padded(itemSize);
                }
                lists.push_back(std::move(list));
            }
            offset = next;
        }
    }
    return lists;
}

}  // namespace kestrova
