#pragma once
// The INFO list of an AVI file: titles and credits appended to a finished movie, and read back.

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace kestrova {

// The information texts, in the order of their slots in Vars.AVIInfo.
inline constexpr std::array<const char*, 6> AviInfoItems = {"Copyright", "Artist", "Subject", "Product", "Source", "Comments"};
inline constexpr std::array<const char*, 6> AviInfoIds = {"ICOP", "IART", "ISBJ", "IPRD", "ISRC", "ICMT"};
using AviInfoTexts = std::array<QString, 6>;

// "KEY=TEXT" of the command line into `texts` (KEY: copyright, artist, subject, product, source,
// comments, any case). Empty on success, else what is wrong.
QString ParseAviInfoAssignment(const QString& assignment, AviInfoTexts& texts);
// The command line's key of an INFO sub-chunk ("INAM": "name"); the id itself for others.
QString AviInfoKeyOfId(const QByteArray& id);

// The LIST chunk of type INFO for these texts, header included. Texts are written as UTF-8.
QByteArray AviInfoChunk(const AviInfoTexts& texts);

// One top-level RIFF chunk of a file: where it starts, its size field and its form ("AVI ", "AVIX").
struct RiffChunk {
    std::int64_t offset = 0;
    std::uint32_t size = 0;
    QByteArray form;
};

// The RIFF chunks of an AVI file, first "AVI ", then any "AVIX" ones (a movie of more than 1 GB).
// Empty `why` on success; otherwise the file is no AVI, or its chunks do not end where the file does.
std::vector<RiffChunk> AviRiffChunks(const QString& path, QString& why);

// Appends the INFO list to a finished movie. The list becomes the last chunk of the file's last RIFF
// chunk (the only one of a plain AVI), whose size grows by the list's length. Empty on success; on
// failure the reason, and the file is as it was.
QString WriteAviInfo(const QString& aviPath, const QString& copyright, const QString& artist, const QString& subject,
                     const QString& product, const QString& source, const QString& comments);
QString WriteAviInfo(const QString& aviPath, const AviInfoTexts& texts);

struct AviInfoEntry {
    QByteArray id;  // "ICOP", "INAM", ...
    QString text;
};
using AviInfoList = std::vector<AviInfoEntry>;

// Every INFO list directly inside the file's RIFF chunks, in file order. Empty `why` on success.
std::vector<AviInfoList> ReadAviInfo(const QString& path, QString& why);

}  // namespace kestrova
