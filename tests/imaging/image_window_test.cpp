#include "imaging/image_window.h"

#include "imaging/dib.h"
#include "platform/picture_writer.h"

#include "kestrova_test.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImageReader>

#include <tuple>
#include <QLabel>
#include <QMenu>
#include <QPrinter>
#include <QToolBar>

using namespace kestrova;
using kestrova::test::KestrovaTest;

namespace {

QImage stripes(int w, int h) {
    QImage picture(w, h, QImage::Format_BGR888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) picture.setPixel(x, y, qRgb(x * 40 % 256, y * 60 % 256, 200));
    return picture;
}

}  // namespace

class ImageWindow : public KestrovaTest {
protected:
    void SetUp() override {
        KestrovaTest::SetUp();
        window = std::make_unique<Image>();
        window->setPicture(stripes(5, 4));
        window->setResetPicture(stripes(5, 4));
        window->setWindowTitle("still.bmp");
    }
    QAction* action(const QString& key) const { return window->findChild<QAction*>(key); }
    std::unique_ptr<Image> window;
};

TEST_F(ImageWindow, ToolbarAndEffectsMenu) {
    const QStringList keys = {"open", "save", "effects", "clipboard", "print"};
    const QStringList tips = {"Open Image File", "Save Image", "Image Effects", "Put on Clipboard", "Print Image"};
    for (int i = 0; i < keys.size(); ++i) {
        ASSERT_NE(action(keys[i]), nullptr) << keys[i].toStdString();
        EXPECT_EQ(action(keys[i])->toolTip(), tips[i]);
    }
    QStringList captions;
    for (QAction* item : action("effects")->menu()->actions()) {
        if (!item->isSeparator()) captions << item->objectName() + "=" + item->text();
    }
    EXPECT_EQ(captions, QStringList({"flip=Flip Horizontal", "mirror=Flip Vertical", "greyscale=Greyscale",
                                     "negative=Negative Image", "soften=Soften", "sharpen=Sharpen", "diffuse=Diffuse",
                                     "emboss=Emboss", "lighting=Lighting Effect", "solarize=Solarize",
                                     "bd_1=1 bit (B/W)", "bd_8=8 bits (256 colors)", "bd_24=24 bits (True Color)",
                                     "bd_32=32 bits (true color with alpha channel)", "reset=Reset Image"}));
}

TEST_F(ImageWindow, EffectsAccumulateUntilReset) {
    QStringList status;
    QObject::connect(window.get(), &Image::statusText, [&](const QString& text) { status << text; });
    const QImage original = window->picture();
    action("flip")->trigger();  // "Flip Horizontal" exchanges left and right
    EXPECT_EQ(window->picture().pixel(4, 1), original.pixel(0, 1));
    EXPECT_EQ(window->progressMessage(), "Flip Horizontal: done") << "the last text says the effect is done";
    EXPECT_EQ(status, QStringList({"", ""}));
    action("mirror")->trigger();  // and "Flip Vertical" top and bottom
    EXPECT_EQ(window->picture().pixel(4, 3), original.pixel(0, 0));
    action("effects")->trigger();  // the button itself restores the reset image
    EXPECT_EQ(window->picture().convertToFormat(QImage::Format_BGR888), original);
    action("negative")->trigger();
    action("reset")->trigger();
    EXPECT_EQ(window->picture().convertToFormat(QImage::Format_BGR888), original);
}

TEST_F(ImageWindow, SavesInTheNineFormatsAtTheChosenDepth) {
    for (const char* suffix : {"jpg", "jp2", "bmp", "gif", "dib", "tif", "png", "pcx", "tga"}) {
        const QString path = tempPath(QString("saved.") + suffix);
        prompts->fileAnswers.push_back(path);
        window->saveImage();
        EXPECT_EQ(ReadPicture(path).size(), QSize(5, 4)) << suffix;
    }
    EXPECT_TRUE(prompts->shown.back().text.contains("TGA File (*.tga)"));
    EXPECT_TRUE(prompts->messages().isEmpty());

    action("bd_1")->trigger();
    EXPECT_EQ(window->depthTag(), "1");
    EXPECT_EQ(window->picture().depth(), 1);
    prompts->fileAnswers.push_back(tempPath("mono.bmp"));
    window->saveImage();
    cDib saved;
    ASSERT_TRUE(saved.CreateFromFile(tempPath("mono.bmp")));
    EXPECT_EQ(saved.BitCount(), 1);

    window->saveImage();  // cancelled: nothing written, nothing said
    prompts->fileAnswers.push_back(tempPath("missing/x.png"));
    window->saveImage();
    ASSERT_EQ(prompts->messages().size(), 1);
    EXPECT_TRUE(prompts->messages().front().startsWith("Cannot write " + tempPath("missing/x.png") + ": ")) << "with the reason";
}

// "still1" saved with the JPEG filter is still1.jpg, a JPEG, and the caption names it.
TEST_F(ImageWindow, ANameWithoutAnExtensionGetsTheChosenFilters) {
    for (const auto& [filter, suffix, format] : std::vector<std::tuple<QString, QString, QByteArray>>{
             {"JPEG Image File (*.jpg)", ".jpg", "jpeg"}, {"PNG File (*.png)", ".png", "png"}}) {
        prompts->fileAnswers.push_back(tempPath("still1"));
        prompts->filterAnswers.push_back(filter);
        window->saveImage();
        EXPECT_FALSE(QFile::exists(tempPath("still1")));
        QImageReader saved(tempPath("still1" + suffix));
        EXPECT_EQ(saved.format(), format) << filter.toStdString();
        EXPECT_EQ(window->windowTitle(), "still1" + suffix);
        QFile::remove(tempPath("still1" + suffix));
    }
    EXPECT_EQ(FilterExtension("Bitmap File (*.bmp)"), ".bmp");
    EXPECT_EQ(FilterExtension("All files (*)"), "");
}

TEST_F(ImageWindow, OpensPicturesWithoutTouchingTheResetImage) {
    const QImage other = stripes(30, 20);
    const QImage bgr = other.convertToFormat(QImage::Format_BGR888);
    ASSERT_TRUE(WritePicture(ViewOf(bgr), tempPath("other.bmp"), 90));
    prompts->fileAnswers.push_back(tempPath("other.bmp"));
    window->openImage();
    EXPECT_EQ(window->picture().size(), QSize(30, 20));
    EXPECT_EQ(window->windowTitle(), "other.bmp");
    EXPECT_TRUE(prompts->shown.back().text.startsWith("All files (*.bmp *.jpg);;Bitmap File (*.bmp)"));
    EXPECT_EQ(window->resetPicture().size(), QSize(5, 4));

    QFile junk(tempPath("junk.bmp"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("junk");
    junk.close();
    prompts->fileAnswers.push_back(tempPath("junk.bmp"));
    window->openImage();
    window->openImage();  // cancelled
    EXPECT_EQ(window->picture().size(), QSize(30, 20));
    EXPECT_TRUE(prompts->messages().isEmpty());
}

TEST_F(ImageWindow, ClipboardAndPrint) {
    action("clipboard")->trigger();
    EXPECT_EQ(QApplication::clipboard()->image().convertToFormat(QImage::Format_BGR888), window->picture());
    EXPECT_EQ(window->progressMessage(), "Image on Clipboard.");

    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(tempPath("print.pdf"));
    ASSERT_TRUE(window->printTo(printer));
    QFile pdf(tempPath("print.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(4) == "%PDF");
    EXPECT_GT(pdf.size(), 500);
}

TEST_F(ImageWindow, LayoutCentresThePictureBelowTheToolbar) {
    window->layOut();
    EXPECT_EQ(window->pictureBox()->geometry(), QRect(117, 10, 5, 4));  // at least 240 wide
    EXPECT_EQ(window->width(), 240);
    window->setPicture(stripes(400, 30));
    window->layOut();
    EXPECT_EQ(window->width(), 440);
    EXPECT_EQ(window->pictureBox()->geometry(), QRect(20, 10, 400, 30));
    EXPECT_GE(window->height(), window->toolbar()->height() + 30 + 20);
}
