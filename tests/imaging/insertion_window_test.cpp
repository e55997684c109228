#include "imaging/insertion_window.h"

#include "core/global_state.h"
#include "imaging/insertion_editor.h"
#include "platform/picture_writer.h"

#include "kestrova_test.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QToolBar>

using namespace kestrova;
using kestrova::test::KestrovaTest;

namespace {

void mouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

}  // namespace

class InsertionWindow : public KestrovaTest {
protected:
    void SetUp() override {
        KestrovaTest::SetUp();
        Vars.AppFolder = homeFolder();
        Vars.InsertionFileName.clear();
        window = std::make_unique<Insertion>();
        window->resize(400, 300);
        editor = window->editor();
    }
    QAction* action(const char* key) const { return window->findChild<QAction*>(key); }
    std::unique_ptr<Insertion> window;
    InsertionEditor* editor = nullptr;
};

TEST_F(InsertionWindow, ToolbarCaptionAndSize) {
    EXPECT_EQ(window->windowTitle(), "Edit Image insertion data");
    QStringList captions;
    for (QAction* a : window->toolbar()->actions()) captions << a->objectName() + "=" + a->text();
    EXPECT_EQ(captions, QStringList({"apply=Apply", "open=Open", "save=Save as...", "insert=Insert Text"}));
    Insertion fresh;
    EXPECT_GT(fresh.width(), 0);
    EXPECT_EQ(fresh.height(), fresh.width() * 3 / 4);
}

TEST_F(InsertionWindow, InsertDragEditAndApply) {
    action("insert")->trigger();
    ASSERT_EQ(editor->items().size(), 1u);
    editor->resize(400, 200);
    const QRect before = editor->itemRect(0);
    ASSERT_FALSE(before.isEmpty());
    // Drag the text by its middle to (200, 100): half the width, half the height.
    const QPoint grip = before.topLeft() + QPoint(2, 2);
    mouse(editor, QEvent::MouseButtonPress, grip, Qt::LeftButton);
    mouse(editor, QEvent::MouseMove, QPoint(202, 102), Qt::LeftButton);
    mouse(editor, QEvent::MouseButtonRelease, QPoint(202, 102), Qt::NoButton);
    EXPECT_EQ(editor->items()[0].x, 500);
    EXPECT_EQ(editor->items()[0].y, 500);

    prompts->inputAnswers.push_back(QString("Gate %hh:%mm, north"));
    editor->editText(0);
    prompts->colorAnswers.push_back(QColor(255, 0, 0));
    editor->chooseTextColour(0);
    editor->toggleBox(0);
    EXPECT_EQ(editor->items()[0].text, "Gate %hh:%mm");
    EXPECT_EQ(editor->items()[0].textColour, 0x0000FFu);
    EXPECT_FALSE(editor->items()[0].box);

    action("apply")->trigger();  // no file named yet: default.iif in the program folder
    const QString defaultFile = homeFolder() + "default.iif";
    EXPECT_EQ(Vars.InsertionFileName, defaultFile);
    // What the editor wrote is what the stamp draws: red text from the middle of the picture.
    QImage stamped(400, 200, QImage::Format_RGB32);
    stamped.fill(Qt::black);
    ApplyInsertionFile(stamped, defaultFile);
    QRect drawn;
    bool red = false;
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 400; ++x) {
            if (stamped.pixel(x, y) == qRgb(0, 0, 0)) continue;
            drawn |= QRect(x, y, 1, 1);
            red = red || stamped.pixel(x, y) == qRgb(255, 0, 0);
        }
    }
    EXPECT_TRUE(red);
    EXPECT_NEAR(drawn.left(), 200, 3);
    EXPECT_NEAR(drawn.top(), 100, 4);
}

TEST_F(InsertionWindow, OpenSaveAndThePathEvent) {
    const QString path = tempPath("two.iif");
    ASSERT_TRUE(WriteInsertionFile(path, {{10, 20, 0xFFFFFF, 0, true, "A"}, {30, 40, 0, 0xFFFFFF, false, "B"}}));
    prompts->fileAnswers.push_back(path);
    action("open")->trigger();
    EXPECT_EQ(editor->items().size(), 2u);
    EXPECT_EQ(Vars.InsertionFileName, path);

    editor->removeItem(0);
    prompts->fileAnswers.push_back(tempPath("one.iif"));
    action("save")->trigger();
    EXPECT_EQ(Vars.InsertionFileName, tempPath("one.iif"));
    EXPECT_EQ(ReadInsertionFile(tempPath("one.iif"))->size(), 1u);

    action("apply")->trigger();  // the named file now
    EXPECT_FALSE(QFile::exists(homeFolder() + "default.iif"));
    action("open")->trigger();  // cancelled
    EXPECT_EQ(editor->items().size(), 1u);

    QFile other(tempPath("other.iif"));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("not an insertion file\r\n");
    other.close();
    EXPECT_FALSE(editor->openFile(tempPath("other.iif")));
    EXPECT_EQ(Vars.InsertionFileName, tempPath("one.iif"));

    QImage background(64, 48, QImage::Format_BGR888);
    background.fill(Qt::blue);
    ASSERT_TRUE(WritePicture(ViewOf(background), tempPath("still.jpg"), 90));
    EXPECT_TRUE(editor->loadBackground(tempPath("still.jpg")));
    EXPECT_FALSE(editor->loadBackground(tempPath("missing.jpg")));
}
