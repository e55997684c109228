#include "core/text_files.h"

#include "kestrova_test.h"

#include <QDir>
#include <QFile>

using namespace kestrova;
using kestrova::test::KestrovaTest;

using TextFiles = KestrovaTest;

TEST_F(TextFiles, AtomicWriteReplacesTheWholeFile) {
    for (const Durability durability : {Durability::Synced, Durability::Unsynced}) {
        const QString path = tempPath("vcsr.vc2");
        ASSERT_TRUE(WriteFileAtomically(path, QByteArray(4096, 'x'), false, nullptr, durability));
        ASSERT_TRUE(WriteFileAtomically(path, "short", false, nullptr, durability));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), QByteArray("short"));
        EXPECT_EQ(QDir(tempPath("")).entryList(QDir::Files), QStringList{"vcsr.vc2"});  // no temporary left
    }
}

TEST_F(TextFiles, AnUnsyncedWriteThatIsNeverCommittedLeavesTheOldFileAlone) {
    const QString path = tempPath("frame_000001.bmp");
    ASSERT_TRUE(WriteFileAtomically(path, "old"));
    {
        OutputFile file(path, false, Durability::Unsynced);
        ASSERT_TRUE(file.open());
        ASSERT_TRUE(file.write("half", 4));
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("old"));
    EXPECT_EQ(QDir(tempPath("")).entryList(QDir::Files), QStringList{"frame_000001.bmp"});
    QString why;
    EXPECT_FALSE(WriteFileAtomically(tempPath("missing/frame.bmp"), "data", false, &why, Durability::Unsynced));
    EXPECT_FALSE(why.isEmpty());
}

TEST_F(TextFiles, PrivateFilesAreForTheOwnerOnly) {
    const QString path = tempPath("ftp.vcp");
    ASSERT_TRUE(WriteFileAtomically(path, "password", true));
    const auto permissions = QFile::permissions(path);
    EXPECT_TRUE(permissions.testFlags(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    EXPECT_FALSE(permissions & (QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther |
                                QFileDevice::WriteOther));
}

TEST_F(TextFiles, AFailedWriteLeavesTheOldFile) {
    EXPECT_FALSE(WriteFileAtomically(tempPath("missing/folder/file"), "data"));
    const QString path = tempPath("keep");
    ASSERT_TRUE(WriteFileAtomically(path, "old"));
    const QString blocked = tempPath("blocked");
    QDir().mkpath(blocked + "/file");  // a folder where the file would go
    EXPECT_FALSE(WriteFileAtomically(blocked + "/file", "new"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("old"));
}

TEST(DecodeText, Utf8OrWindows1252) {
    EXPECT_EQ(DecodeText("caf\xc3\xa9 \xe2\x82\xac"), QString::fromUtf8("café €"));
    EXPECT_EQ(DecodeText("caf\xe9 \x80 \x96"), QString::fromUtf8("café € –"));
    EXPECT_EQ(DecodeText(""), QString());
}
