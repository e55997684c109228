#include "mainwindow/master.h"

#include "core/global_state.h"

#include "kestrova_test.h"

#include <QAction>
#include <QCoreApplication>
#include <QMdiArea>
#include <QTimer>

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
    QWidget* preferences = master->findChild<QWidget*>("Preferences");
    ASSERT_NE(preferences, nullptr);
    EXPECT_TRUE(preferences->isVisible());

    // "E&xit" closes; EndProgram leaves the event loop with status 0.
    QTimer::singleShot(0, [master] { master->findChild<QAction*>("mnuExit")->trigger(); });
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_TRUE(Vars.ShuttingDown);
    EXPECT_FALSE(preferences->isVisible());
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
