#include "mainwindow/master.h"

#include "core/global_state.h"
#include "core/number_forms.h"
#include "core/settings.h"
#include "platform/prompts.h"

#include "kestrova_test.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QLineEdit>
#include <QMdiArea>
#include <QSlider>
#include <QTimer>
#include <QToolBar>

#include <functional>

using namespace kestrova;
using kestrova::test::KestrovaTest;

using MainWindowShell = KestrovaTest;

TEST_F(MainWindowShell, ClosingEndsTheProgramAndEveryOtherWindow) {
    Vars.VersionText = "Video Kestrova 2009 Version 9.04 Build 935";
    auto* master = new Master;
    master->setAttribute(Qt::WA_DeleteOnClose);
    master->show();
    EXPECT_EQ(master->windowTitle(), Vars.VersionText);
    ASSERT_NE(master->mdiArea(), nullptr);
    master->showPreferences();
    QPointer<QWidget> preferences = master->findChild<QWidget*>("Preferences");
    ASSERT_NE(preferences, nullptr);
    EXPECT_TRUE(preferences->isVisible());

    // "E&xit" closes; EndProgram leaves the event loop with status 0.
    QTimer::singleShot(0, [master] { master->findChild<QAction*>("mnuExit")->trigger(); });
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_TRUE(Vars.ShuttingDown);
    EXPECT_TRUE(preferences.isNull() || !preferences->isVisible());
}

TEST_F(MainWindowShell, TheSystemsRequestClosesWithoutAsking) {
    auto* master = new Master;
    master->setAttribute(Qt::WA_DeleteOnClose);
    master->show();
    QTimer::singleShot(0, [master] { master->closeBySystem(); });
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_TRUE(Vars.ShuttingDown);
    EXPECT_TRUE(prompts->shown.empty());
}

namespace {

class MainWindowLifecycle : public KestrovaTest {
protected:
    void SetUp() override {
        KestrovaTest::SetUp();
        Vars.AppFolder = homeFolder();
        Vars.PreviewRate = 10;
    }
    // A main window loaded as at start-up, closed by File "E&xit" after check has looked at it.
    void loadAndExit(const std::function<void(Master&)>& check, const QString& commandLine = QString()) {
        auto* master = new Master;
        master->setAttribute(Qt::WA_DeleteOnClose);
        master->show();
        master->Load(commandLine);
        check(*master);
        QTimer::singleShot(0, [master] { master->findChild<QAction*>("mnuExit")->trigger(); });
        EXPECT_EQ(QCoreApplication::exec(), 0);
        Vars.ShuttingDown = false;
    }
    QString stored(const QString& key) const { return GetSetting(SettingsAppTitle(), "Window", key); }
};

}  // namespace

TEST_F(MainWindowLifecycle, FirstLoadCentresTheDefaultSizeInMovieMode) {
    loadAndExit([](Master& master) {
        EXPECT_EQ(master.size(), QSize(800, 600));
        const QRect available = master.screen()->availableGeometry();
        EXPECT_EQ(master.x(), available.left() + (available.width() - 800) / 2);
        EXPECT_EQ(Vars.CaptureMode, "movie");
        EXPECT_EQ(Vars.CaptureFileName, Vars.AppFolder + "kestrova.avi");
        EXPECT_EQ(master.previewRate()->currentText(), "10 FPS");
        EXPECT_EQ(master.previewRate()->itemText(0), "01 FPS");
        EXPECT_EQ(Vars.ImageCounterMask, "#000000");
        for (const char* name : {"MultipleImageFrameRate", "AVIBuildFPS"}) {
            auto* rates = master.findChild<QComboBox*>(name);
            ASSERT_EQ(rates->count(), 30) << name;
            EXPECT_EQ(rates->itemText(0), " 1 FPS");
            EXPECT_EQ(rates->currentText(), " 11 FPS");
        }
        EXPECT_EQ(master.findChild<QComboBox*>("MultipleImageMode")->currentText(), "Movie file (.AVI)");
    });
    EXPECT_TRUE(prompts->shown.empty()) << "File E&xit does not ask";
    const double twips = 1440.0 / QGuiApplication::primaryScreen()->logicalDotsPerInchX();
    EXPECT_DOUBLE_EQ(Val(stored("Width")), static_cast<float>(800 * twips));
    EXPECT_EQ(stored("State"), "0");
}

TEST_F(MainWindowLifecycle, GeometryAndToolbarTicksComeBackButItemsSevenAndEightAreAlwaysTicked) {
    loadAndExit([](Master& master) {
        master.resize(500, 300);
        // 665 x 480, or more where the bands need more with this style and these fonts.
        EXPECT_EQ(master.size(), master.minimumSize());
        EXPECT_EQ(master.minimumSize(), master.minimumSize().expandedTo(QSize(665, 480)));
        master.resize(900, 700);
        master.move(40, 50);
        for (int item : {2, 7, 8}) master.toolbarsItemClicked(item);
    });
    EXPECT_EQ(stored("Toolbar2"), "0");
    EXPECT_EQ(stored("Toolbar7"), "");
    loadAndExit([](Master& master) {
        EXPECT_EQ(master.size(), QSize(900, 700));
        EXPECT_EQ(master.pos(), QPoint(40, 50));
        EXPECT_FALSE(master.toolbarsItem(2)->isChecked());
        EXPECT_FALSE(master.band("movie")->isVisibleTo(&master));
        EXPECT_TRUE(master.toolbarsItem(7)->isChecked());
        EXPECT_TRUE(master.toolbarsItem(8)->isChecked());
        master.showMaximized();
    });
    EXPECT_EQ(stored("State"), "2");
    const double twips = 1440.0 / QGuiApplication::primaryScreen()->logicalDotsPerInchX();
    EXPECT_EQ(qRound(Val(stored("Width")) / twips), 900) << "not stored while maximised";
}

TEST_F(MainWindowLifecycle, TheWebSharePortAndQualityComeBack) {
    SaveSetting(SettingsAppTitle(), "WebShare", "Port", "8081");
    SaveSetting(SettingsAppTitle(), "WebShare", "Quality", "40");
    loadAndExit([](Master& master) {
        EXPECT_EQ(master.findChild<QLineEdit*>("WebShare_Port")->text(), "8081");
        EXPECT_FALSE(master.webShareOn()) << "the server listens only in the webshare mode";
        master.findChild<QSlider*>("WebShare_Quality")->setValue(55);
    });
    EXPECT_EQ(GetSetting(SettingsAppTitle(), "WebShare", "Port"), "8081");
    EXPECT_EQ(GetSetting(SettingsAppTitle(), "WebShare", "Quality"), "55");
}

TEST_F(MainWindowLifecycle, AMissingCommandLineFileIsReportedAndTheLoadGoesOn) {
    const QString missing = tempPath("gone.vcp");
    loadAndExit([&](Master&) { EXPECT_EQ(Vars.CaptureMode, "movie"); }, missing);
    ASSERT_EQ(prompts->shown.size(), 1u);
    EXPECT_EQ(prompts->shown[0].text, "Cannot open " + missing);
    EXPECT_EQ(prompts->shown[0].icon, PromptIcon::Exclamation);
}

TEST_F(MainWindowLifecycle, TheCloseBoxAsksAndNoKeepsTheWindowButStoresTheLayout) {
    auto* master = new Master;
    master->setAttribute(Qt::WA_DeleteOnClose);
    master->show();
    master->Load();
    master->toolbarsItemClicked(3);
    prompts->messageAnswers.push_back(PromptAnswer::No);
    EXPECT_FALSE(master->close());
    ASSERT_EQ(prompts->shown.size(), 1u);
    EXPECT_EQ(prompts->shown[0].text, master->windowTitle() + "\r\n\r\nAre you sure you want to quit ?");
    EXPECT_EQ(prompts->shown[0].buttons, PromptButtons::YesNo);
    EXPECT_EQ(prompts->shown[0].icon, PromptIcon::Question);
    EXPECT_TRUE(master->isVisible());
    EXPECT_FALSE(Vars.ShuttingDown);
    EXPECT_EQ(GetSetting(SettingsAppTitle(), "Window", "Toolbar3"), "0");

    prompts->messageAnswers.push_back(PromptAnswer::Yes);
    QTimer::singleShot(0, master, &QWidget::close);
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_TRUE(Vars.ShuttingDown);
}

TEST_F(MainWindowLifecycle, TheSystemsRequestEndsTheProgramWhileTheQuitQuestionIsOpen) {
    // A real message box, so the request arrives inside its own event loop.
    std::unique_ptr<Prompts> scripted = InstallPrompts(std::make_unique<QtPrompts>());
    auto* master = new Master;
    master->setAttribute(Qt::WA_DeleteOnClose);
    master->show();
    master->Load();
    master->toolbarsItemClicked(4);
    QTimer::singleShot(0, master, &QWidget::close);
    QTimer::singleShot(300, master, &Master::closeBySystem);
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_TRUE(Vars.ShuttingDown);
    EXPECT_EQ(GetSetting(SettingsAppTitle(), "Window", "Toolbar4"), "0");
    InstallPrompts(std::move(scripted));
}
