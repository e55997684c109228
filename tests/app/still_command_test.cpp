#include "app/cli/cli.h"
#include "imaging/insertion.h"
#include "platform/picture_writer.h"

#include "cli_runner.h"
#include "kestrova_test.h"

#include <QImage>

using namespace kestrova;
using kestrova::test::KestrovaTest;

using StillCommand = KestrovaTest;

// Test Pattern's first column is a white bar; its picture is the size asked for.
TEST_F(StillCommand, WritesOneTestPatternPictureInTheFormatOfItsName) {
    for (const char* name : {"still.jpg", "still.bmp", "still.png"}) {
        const QString out = tempPath(name);
        const test::CliOutcome done =
            test::RunCli({"still", "--source", "testpattern", "--out", out, "--size", "320x240", "--quality", "95"});
        ASSERT_EQ(done.status, cli::ExitOk) << done.err.toStdString();
        const QImage picture = ReadPicture(out);
        ASSERT_EQ(picture.size(), QSize(320, 240)) << name;
        EXPECT_GT(qGray(picture.pixel(5, 5)), 240) << name;
        EXPECT_LT(qGray(picture.pixel(315, 5)), 15) << name;  // the black bar on the right
    }
}

TEST_F(StillCommand, StampsTheInsertionFile) {
    const QString iif = tempPath("stamp.iif");
    // A red box at the top left of the black bar on the right.
    ASSERT_TRUE(WriteInsertionFile(iif, {{900, 100, 0x0000FF, 0x0000FF, true, "MMMM"}}));
    const QString out = tempPath("stamped.bmp");
    const test::CliOutcome done =
        test::RunCli({"still", "--source", "testpattern", "--out", out, "--size", "640x480", "--insert", iif});
    ASSERT_EQ(done.status, cli::ExitOk) << done.err.toStdString();
    const QImage picture = ReadPicture(out);
    ASSERT_FALSE(picture.isNull());
    const QRectF box = InsertionTextRect(picture, {900, 100, 0x0000FF, 0x0000FF, true, "MMMM"},
                                         [] { return QDateTime::currentDateTime(); });
    const QRgb inside = picture.pixel(box.center().toPoint());
    EXPECT_GT(qRed(inside), 200);
    EXPECT_LT(qGreen(inside), 50);
}

TEST_F(StillCommand, FailuresSayWhyWithTheirStatus) {
    QFile(tempPath("not-an-iif")).open(QIODevice::WriteOnly);
    const struct {
        QStringList arguments;
        int status;
    } cases[] = {
        {{"still", "--out", tempPath("x.jpg")}, cli::ExitUsage},
        {{"still", "--source", "testpattern"}, cli::ExitUsage},
        {{"still", "--source", "bogus", "--out", tempPath("x.jpg")}, cli::ExitUsage},
        {{"still", "--source", "testpattern", "--out", tempPath("x.jpg"), "--quality", "0"}, cli::ExitUsage},
        {{"still", "--source", "testpattern", "--out", tempPath("x.jpg"), "--size", "big"}, cli::ExitUsage},
        {{"still", "--source", "testpattern", "--out", tempPath("x.jpg"), "--colour"}, cli::ExitUsage},
        {{"still", "--source", "wdm:99", "--out", tempPath("x.jpg")}, cli::ExitFailed},
        {{"still", "--source", "wms:" + tempPath("missing.avi"), "--out", tempPath("x.jpg")}, cli::ExitFailed},
        {{"still", "--source", "testpattern", "--out", tempPath("x.jpg"), "--insert", tempPath("not-an-iif")},
         cli::ExitFailed},
        {{"still", "--source", "testpattern", "--out", tempPath("no/such/folder/x.jpg")}, cli::ExitFailed},
    };
    for (const auto& c : cases) {
        const test::CliOutcome outcome = test::RunCli(c.arguments);
        EXPECT_EQ(outcome.status, c.status) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(outcome.err.count(u'\n'), 1) << outcome.err.toStdString();
        EXPECT_TRUE(outcome.out.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(tempPath("x.jpg")));
}
