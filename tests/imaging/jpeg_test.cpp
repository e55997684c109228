#include "imaging/jpeg.h"

#include "kestrova_test.h"

#include <QFile>

using namespace kestrova;
using kestrova::test::KestrovaTest;

using JpegWriter = KestrovaTest;

TEST_F(JpegWriter, WritesThePictureAndReportsFailures) {
    QImage picture(321, 40, QImage::Format_RGB32);
    picture.fill(qRgb(200, 30, 90));
    QStringList statusTexts;
    const auto connection = QObject::connect(&JpegStatusSignals(), &JpegStatus::statusText,
                                             [&](const QString& text) { statusTexts << text; });

    const QString good = tempPath("a.jpg");
    WriteJpegFile(picture, good, 90);
    const QImage back(good);
    ASSERT_EQ(back.size(), picture.size());
    EXPECT_NEAR(qRed(back.pixel(160, 20)), 200, 4);
    EXPECT_TRUE(prompts->messages().isEmpty());
    EXPECT_TRUE(statusTexts.isEmpty());

    const QString bad = tempPath("missing/a.jpg");
    WriteJpegFile(picture, bad, 90);
    EXPECT_EQ(prompts->messages(), QStringList{"Failed to save to JPG"});
    EXPECT_EQ(prompts->shown.back().icon, PromptIcon::Exclamation);
    EXPECT_EQ(statusTexts, QStringList{"Error writing " + bad + "JPEG File."});
    QObject::disconnect(connection);
}
