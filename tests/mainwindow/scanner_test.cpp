// The scanner menu and buttons over SANE's "test" backend: scans into new image editor windows,
// the source chosen for the session, cancel, and the controls without a scanner. SANE keeps the
// configuration it first read for the whole process: one per test (ctest runs each on its own).

#include "mainwindow/master.h"

#include "imaging/image_window.h"
#include "persistence/scanner_windows.h"
#include "ui/keyed.h"

#include "kestrova_test.h"
#include "sane_test_config.h"
#include "wait_until.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>

#include <algorithm>
#include <memory>

using namespace kestrova;
using kestrova::test::SaneTestConfig;
using kestrova::test::WaitUntil;

namespace {

class Scanner : public kestrova::test::KestrovaTest {
protected:
    void TearDown() override {
        master.reset();
        sane.reset();
        KestrovaTest::TearDown();
    }
    void start(const QByteArray& backends, const QByteArray& settings = QByteArray()) {
        const QString folder = tempPath("sane");
        QDir().mkpath(folder);
        sane = std::make_unique<SaneTestConfig>(folder, backends, settings);
        master = std::make_unique<Master>();
        master->show();
    }
    QAction* toolbarButton(const char* key) const { return FindKeyed<QAction>(master->mainToolbar(), key); }
    QAction* menuItem(const char* name) const { return master->scannerMenu()->findChild<QAction*>(name); }
    QList<Image*> editors() const {
        QList<Image*> shown;
        for (Image* editor : master->findChildren<Image*>()) {
            if (editor->isVisible()) shown << editor;
        }
        return shown;
    }
    bool scanDone() const { return master->scanProgressWindow() == nullptr; }

    std::unique_ptr<SaneTestConfig> sane;
    std::unique_ptr<Master> master;
};

}  // namespace

TEST_F(Scanner, EachAcquireOpensAnUntitledEditorWithTheScannersPicture) {
    start("test\n", "mode Color\ntest-picture \"Color pattern\"\n");
    const QString temp = tempPath("temp");
    QDir().mkpath(temp);
    qputenv("temp", QFile::encodeName(temp));
    QStringList items;
    for (QAction* item : master->scannerMenu()->actions()) items << (item->isSeparator() ? "-" : item->text());
    EXPECT_EQ(items, (QStringList{"Select Source", "-", "Acquire"}));
    for (QAction* control : master->scannerControls()) EXPECT_TRUE(control->isEnabled()) << "nothing is known before a use";

    toolbarButton("scanner")->trigger();
    ASSERT_NE(master->scanProgressWindow(), nullptr);
    EXPECT_TRUE(master->scanProgressWindow()->isVisible());
    EXPECT_TRUE(master->scanProgressWindow()->cancelButton()->isEnabled());
    ASSERT_TRUE(WaitUntil([&] { return scanDone(); }, 10000));
    menuItem("mnuScannerAcquire")->trigger();
    ASSERT_TRUE(WaitUntil([&] { return scanDone(); }, 10000));

    const QList<Image*> opened = editors();
    ASSERT_EQ(opened.size(), 2) << "two scans, two windows";
    for (Image* editor : opened) {
        EXPECT_EQ(editor->windowTitle(), "Untitled");
        EXPECT_EQ(editor->picture().size(), QSize(SaneTestConfig::Width, SaneTestConfig::Height));
        EXPECT_EQ(editor->resetPicture(), editor->picture());
    }
    EXPECT_NE(opened[0], opened[1]);
    EXPECT_TRUE(QDir(temp).isEmpty()) << "no file is left behind";
    qunsetenv("temp");
}

TEST_F(Scanner, SelectSourceListsTheScannersAndTheChoiceHoldsForTheSession) {
    start("test\n", "number_of_devices 2\n");
    toolbarButton("choose_scanner")->trigger();
    ScannerSource* window = master->scannerSourceWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->message()->text(), "Looking for scanners...");
    EXPECT_FALSE(window->selectButton()->isEnabled());
    ASSERT_TRUE(WaitUntil([&] { return window->sources()->count() == 2; }, 10000));
    EXPECT_EQ(window->sources()->item(0)->text(), "Noname frontend-tester (test:0)");
    EXPECT_EQ(window->sources()->currentRow(), 0);
    window->sources()->setCurrentRow(1);
    window->selectButton()->click();
    ASSERT_TRUE(WaitUntil([&] { return master->scannerSourceWindow() == nullptr; }, 2000)) << "closed and gone";
    EXPECT_EQ(master->scannerDevice(), "test:1");

    menuItem("mnuScannerSelect")->trigger();
    window = master->scannerSourceWindow();
    ASSERT_TRUE(WaitUntil([&] { return window->sources()->count() == 2; }, 10000));
    EXPECT_EQ(window->sources()->currentRow(), 1) << "the choice is remembered";
    window->close();

    toolbarButton("scanner")->trigger();
    EXPECT_EQ(master->scanProgressWindow()->device(), "test:1");
    ASSERT_TRUE(WaitUntil([&] { return scanDone(); }, 10000));
    EXPECT_EQ(editors().size(), 1);
}

TEST_F(Scanner, WithoutAScannerTheControlsAreDisabledAndSaySo) {
    start("");
    menuItem("mnuScannerAcquire")->trigger();
    ASSERT_TRUE(WaitUntil([&] { return scanDone(); }, 10000));
    EXPECT_TRUE(editors().isEmpty());
    EXPECT_EQ(master->statusBar()->currentMessage(), "No scanner was found");
    for (QAction* control : master->scannerControls()) {
        EXPECT_FALSE(control->isEnabled()) << control->text().toStdString();
        EXPECT_EQ(control->toolTip(), "No scanner was found");
    }
}

TEST_F(Scanner, SelectSourceWithoutAScannerSaysSo) {
    start("");
    menuItem("mnuScannerSelect")->trigger();
    ScannerSource* window = master->scannerSourceWindow();
    ASSERT_TRUE(WaitUntil([&] { return window->message()->text() != "Looking for scanners..."; }, 10000));
    EXPECT_EQ(window->message()->text(), "No scanner was found");
    EXPECT_FALSE(window->selectButton()->isEnabled());
    EXPECT_FALSE(toolbarButton("scanner")->isEnabled());
}

TEST_F(Scanner, ACancelledScanOpensNoEditorAndSaysWhy) {
    // A large picture: it is still being read when the window is closed.
    start("test\n", "mode Color\nresolution 300\nbr_x 200.0\nbr_y 200.0\n");
    toolbarButton("scanner")->trigger();
    QPointer<ScanProgress> window = master->scanProgressWindow();
    // A second Acquire while scanning starts nothing new.
    toolbarButton("scanner")->trigger();
    EXPECT_EQ(master->findChildren<ScanProgress*>().size(), 1);
    window->close();  // the close box cancels, as Cancel does
    ASSERT_TRUE(window);
    EXPECT_FALSE(window->cancelButton()->isEnabled());
    ASSERT_TRUE(WaitUntil([&] { return scanDone(); }, 10000));
    EXPECT_TRUE(editors().isEmpty());
    EXPECT_EQ(master->statusBar()->currentMessage(), "The scan was cancelled");
    for (QAction* control : master->scannerControls()) EXPECT_TRUE(control->isEnabled());
}
