// Codec names from "codec.vc" (the shipped file and broken ones), "What Codec..." over a table of
// files, and the installed codecs' window.

#include "avitools/codec_info.h"
#include "avitools/codecs_window.h"
#include "avitools/what_codec.h"
#include "core/folders.h"
#include "core/global_state.h"

#include "kestrova_test.h"
#include "movie_fixtures.h"

#include <QFile>
#include <QTreeWidget>

using namespace kestrova;

namespace {

QByteArray Encode(const QByteArray& plain) {
    QByteArray stored = plain;
    for (char& c : stored) c = char(static_cast<unsigned char>(c) + 1);
    return stored;
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class CodecInfoTest : public kestrova::test::KestrovaTest {};

}  // namespace

TEST_F(CodecInfoTest, TheShippedFileNamesTheCommonCodes) {
    const QString shipped = ProgramFolder() + "codec.vc";
    ASSERT_TRUE(QFile::exists(shipped));
    for (const char* code : {"MJPG", "DIB ", "DIVX", "XVID", "FMP4", "DX50", "MP42", "MP43", "H264", "X264", "AVC1", "HFYU", "FFV1",
                             "MSVC", "CVID", "IV50", "dvsd", "divx"}) {
        const CodecNameResult result = LookUpCodec(shipped, code);
        EXPECT_EQ(result.status, CodecLookup::Found) << code;
        EXPECT_FALSE(result.name.trimmed().isEmpty()) << code;
    }
    EXPECT_EQ(LookUpCodec(shipped, "MJPG").name, "Motion JPEG");
    const CodecNameResult unknown = LookUpCodec(shipped, "zz9q");
    EXPECT_EQ(unknown.status, CodecLookup::Unknown);
    EXPECT_EQ(unknown.name, "Unknown CODEC (ZZ9Q)");
}

TEST_F(CodecInfoTest, FieldsAreDecodedByTheReadingRules) {
    // Commas and line ends separate fields, leading blanks are skipped, a quoted field keeps its commas.
    const QByteArray file = Encode("QB2000 CODEC INFO 9091") + "\r\n   " + Encode("ABCD First") + "," + Encode("EFGH Second") +
                            "\n\"" + Encode("IJKL Third") + ",x\"\r\n" + Encode("ijkl lower");
    EXPECT_EQ(DecodeCodecInfo(file), QStringList({"QB2000 CODEC INFO 9091", "ABCD First", "EFGH Second", QString("IJKL Third") + QChar(','  - 1) + "w", "ijkl lower"}));
    const QString path = tempPath("codec.vc");
    WriteFile(path, file);
    EXPECT_EQ(LookUpCodec(path, "efgh").name, "Second");
    EXPECT_EQ(LookUpCodec(path, "IJKL").name.left(5), "Third") << "the first match wins";

    WriteFile(path, Encode("QB1999 CODEC INFO") + "\r\n" + Encode("ABCD First"));
    EXPECT_EQ(LookUpCodec(path, "ABCD").status, CodecLookup::BadFile);
    EXPECT_EQ(LookUpCodec(path, "ABCD").name, "Error");
    EXPECT_EQ(LookUpCodec(tempPath("none.vc"), "ABCD").status, CodecLookup::NoFile);
}

TEST_F(CodecInfoTest, WhatCodecNamesTheCodecOfEachKindOfFile) {
    Vars.AppFolder = homeFolder();
    QFile::copy(ProgramFolder() + "codec.vc", homeFolder() + "codec.vc");
    struct Case {
        const char* codec;
        const char* message;
    };
    const Case movies[] = {
        {"mjpeg", "Compressed with:\nMotion JPEG"},
        {"bgr24", "Is not compressed. Codec not required."},
        {"mpeg4", "Compressed with:\nFFmpeg MPEG-4"},
        {"ffv1", "Compressed with:\nFFV1 lossless"},
    };
    for (const Case& c : movies) {
        const QString path = tempPath(QString::fromLatin1(c.codec) + ".avi");
        ASSERT_EQ(test::MakePatternMovie(path, 2, QSize(64, 48), QString::fromLatin1(c.codec)), QString());
        EXPECT_EQ(WhatCodecMessage(path).value_or("nothing"), "Filename: " + QString::fromLatin1(c.codec) + ".avi\n" + c.message);
    }
    // A handler code in lower case, and one that the file does not know.
    QFile movie(tempPath("mjpeg.avi"));
    ASSERT_TRUE(movie.open(QIODevice::ReadWrite));
    QByteArray head = movie.read(200);
    head.replace(112, 4, "mjpg");
    movie.seek(0);
    movie.write(head);
    movie.close();
    EXPECT_EQ(WhatCodecMessage(movie.fileName()).value_or("nothing"), "Filename: mjpeg.avi\nCompressed with:\nMotion JPEG");
    head.replace(112, 4, "QQ42");
    WriteFile(tempPath("odd.avi"), head);
    EXPECT_EQ(WhatCodecMessage(tempPath("odd.avi")).value_or("nothing"), "Filename: odd.avi\nCompressed with:\nUnknown CODEC (QQ42)");
    // Files that are no standard AVI say nothing.
    WriteFile(tempPath("text.avi"), QByteArray(300, 'x'));
    WriteFile(tempPath("short.avi"), head.left(110));
    for (const char* name : {"text.avi", "short.avi", "missing.avi"}) EXPECT_FALSE(WhatCodecMessage(tempPath(name)).has_value()) << name;
    EXPECT_TRUE(prompts->messages().isEmpty());

    // Without the information file, or with a broken one, every lookup says so.
    QFile::remove(homeFolder() + "codec.vc");
    WriteFile(homeFolder() + "codec.vc", Encode("not the right start"));
    EXPECT_EQ(CodecName("MJPG"), "Error");
    EXPECT_EQ(prompts->messages(), QStringList{"ERROR C101: Error in Script Alpha."});
}

TEST_F(CodecInfoTest, TheCodecsWindowListsWhatFfmpegWritesAndReadsInAvi) {
    CodecsWindow window;
    ASSERT_EQ(window.codecs->topLevelItemCount(), 2);
    QTreeWidgetItem* video = window.codecs->topLevelItem(0);
    EXPECT_EQ(video->text(0), "Video Compressors");
    EXPECT_TRUE(video->isExpanded());
    EXPECT_EQ(window.codecs->topLevelItem(1)->text(0), "Audio Compressors");
    QStringList signatures;
    for (int i = 0; i < video->childCount(); ++i) signatures << video->child(i)->data(0, Qt::UserRole).toString();
    for (const char* code : {"MJPG", "FMP4", "FFV1", "H264"}) EXPECT_TRUE(signatures.contains(code)) << code;
    const int mjpeg = int(signatures.indexOf("MJPG"));
    ASSERT_GE(mjpeg, 0);
    EXPECT_EQ(video->child(mjpeg)->child(1)->text(0), "Writes: mjpeg");
    EXPECT_GT(window.codecs->topLevelItem(1)->childCount(), 0);
}
