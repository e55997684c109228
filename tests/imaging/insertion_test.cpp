#include "imaging/insertion.h"

#include "kestrova_test.h"

#include <QFile>

using namespace kestrova;
using kestrova::test::KestrovaTest;

namespace {

const QDateTime fixedTime(QDate(2026, 3, 7), QTime(9, 45, 30));
const Clock fixedClock = [] { return fixedTime; };

QImage greyPicture() {
    QImage picture(400, 200, QImage::Format_RGB32);
    picture.fill(qRgb(128, 128, 128));
    return picture;
}

// The bounding box of the pixels that differ from the grey background.
QRect changedArea(const QImage& picture) {
    QRect area;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixel(x, y) != qRgb(128, 128, 128)) area |= QRect(x, y, 1, 1);
    return area;
}

bool hasColour(const QImage& picture, QRgb colour) {
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixel(x, y) == colour) return true;
    return false;
}

}  // namespace

class Insertion : public KestrovaTest {
protected:
    QString file(const QByteArray& records, const QByteArray& header = "KESTROVA IMAGE INSERTION FILE\r\nVER:1\r\n") {
        const QString path = tempPath(QString("f%1.iif").arg(++count_));
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(header + records);
        return path;
    }
    QImage stamped(const QByteArray& records) {
        QImage picture = greyPicture();
        ApplyInsertionFile(picture, file(records), fixedClock);
        return picture;
    }

private:
    int count_ = 0;
};

TEST_F(Insertion, TextLandsAtItsPlaceOnItsBox) {
    const QImage picture = stamped("TXT:500,0,FFFFFF,0,1,%yyyy-%MM-%dd %hh:%mm:%ss\r\n");
    const QRect area = changedArea(picture);
    EXPECT_EQ(area.left(), 200);  // middle of the top edge
    EXPECT_EQ(area.top(), 0);
    EXPECT_GT(area.width(), 60);
    EXPECT_LT(area.height(), 20);  // 8 points
    EXPECT_TRUE(hasColour(picture, qRgb(255, 255, 255)));
    EXPECT_TRUE(hasColour(picture, qRgb(0, 0, 0)));
}

TEST_F(Insertion, ColoursAreBlueGreenRedValuesAndTransparentTextHasNoBox) {
    // 0000FF is red; 00FF00 is green; the box flag 0 draws on the picture itself.
    const QImage picture = stamped("TXT:100,500,0000FF,00FF00,0,Kestrova\n");
    const QRect area = changedArea(picture);
    EXPECT_GE(area.left(), 40);
    EXPECT_GE(area.top(), 100);
    EXPECT_TRUE(hasColour(picture, qRgb(255, 0, 0)));
    EXPECT_FALSE(hasColour(picture, qRgb(0, 255, 0)));
    // A later record overlaps an earlier one; a line without "TXT:" is ignored.
    const QImage two = stamped("TXT:100,500,0000FF,0,0,Kestrova\rNOTE:ignored\rTXT:100,500,FF0000,0,0,Kestrova\r");
    EXPECT_TRUE(hasColour(two, qRgb(0, 0, 255)));
}

TEST_F(Insertion, TextEndsAtTheFirstCommaAndTokensFollowTheClock) {
    EXPECT_EQ(stamped("TXT:0,0,0,FFFFFF,1,Hello, world\r\n"), stamped("TXT:0,0,0,FFFFFF,1,Hello\r\n"));
    EXPECT_EQ(stamped("TXT:0,0,0,FFFFFF,1,%MM/%mm %dd.%yyyy %hh:%ss\r\n"),
              stamped("TXT:0,0,0,FFFFFF,1,03/45 07.2026 09:30\r\n"));
    EXPECT_EQ(ExpandInsertionTokens("%MM%mm%MMM", fixedClock), "034503M");
}

TEST_F(Insertion, WrongFilesDrawNothing) {
    const QByteArray record = "TXT:0,0,0,FFFFFF,1,Hello\r\n";
    const QImage grey = greyPicture();
    QImage picture = greyPicture();
    for (const QString& path : {file(""), file(record, "kestrova image insertion file\r\nVER:1\r\n"),
                                file(record, "KESTROVA IMAGE INSERTION FILE\r\nVER:2\r\n"), tempPath("missing.iif"),
                                QString()}) {
        ApplyInsertionFile(picture, path, fixedClock);
        EXPECT_EQ(picture, grey) << path.toStdString();
    }
    // A colour that is not hexadecimal keeps the previous one.
    EXPECT_EQ(stamped("TXT:0,0,0000FF,0,0,A\r\nTXT:500,0,xyz,0,0,A\r\n"),
              stamped("TXT:0,0,0000FF,0,0,A\r\nTXT:500,0,0000FF,0,0,A\r\n"));
}

TEST_F(Insertion, WrittenFilesReadBack) {
    const std::vector<InsertionText> items = {{500, 0, 0xFFFFFF, 0x000000, true, "%hh:%mm"},
                                              {12.5, 990, 0x0000FF, 0x00FF00, false, "Camera 1, door"}};
    const QString path = tempPath("out.iif");
    ASSERT_TRUE(WriteInsertionFile(path, items));
    const std::vector<InsertionText> back = ReadInsertionFile(path).value();
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].x, 500);
    EXPECT_EQ(back[0].textColour, 0xFFFFFFu);
    EXPECT_TRUE(back[0].box);
    EXPECT_EQ(back[0].text, "%hh:%mm");
    EXPECT_EQ(back[1].x, 12.5);
    EXPECT_EQ(back[1].backColour, 0x00FF00u);
    EXPECT_FALSE(back[1].box);
    EXPECT_EQ(back[1].text, "Camera 1");
}
