#include "app/start.h"

#include "core/global_state.h"
#include "core/settings.h"
#include "mainwindow/master.h"

#include "kestrova_test.h"
#include "wait_until.h"

#include <QApplication>
#include <QEvent>
#include <QProcess>
#include <QTimer>

#include <csignal>

using namespace kestrova;
using kestrova::test::KestrovaTest;

namespace {
// Records when the splash window and the main window are shown and hidden.
class ShowLog : public QObject {
public:
    QStringList events;
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QString name = watched->objectName();
        if ((name == "Splash" || name == "Master") && watched->isWidgetType() &&
            (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
            events << name + (event->type() == QEvent::Show ? " shown" : " hidden");
        }
        return false;
    }
};
}  // namespace

using StartProcedure = KestrovaTest;

TEST_F(StartProcedure, SplashFirstThenTheMainWindowWithItsCaption) {
    SaveSetting(SettingsAppVC, "JPEG", "Compression", "70");
    ShowLog log;
    qApp->installEventFilter(&log);
    Master* master = Main({.splashMilliseconds = 50, .commandLine = {}});
    qApp->removeEventFilter(&log);
    ASSERT_NE(master, nullptr);

    EXPECT_EQ(log.events, (QStringList{"Splash shown", "Splash hidden", "Master shown"}));
    EXPECT_EQ(master->windowTitle(), QStringLiteral("Video Kestrova 2009 Version 9.04 Build 935"));
    EXPECT_EQ(GetSetting(SettingsAppKestrova, "Video Kestrova", "Build"), QStringLiteral("935"));
    EXPECT_EQ(Vars.JpegQuality, 70);
    EXPECT_EQ(Vars.AppFolder, homeFolder());

    prompts->messageAnswers.push_back(PromptAnswer::Yes);  // the close box asks
    QTimer::singleShot(0, master, &Master::close);
    EXPECT_EQ(QCoreApplication::exec(), 0);
}

// The real program under the offscreen platform: it writes its start settings, and a SIGTERM ends it
// with status 0 (every later moment is closed in-process through the same start, see
// system_close_test.cpp).
TEST_F(StartProcedure, TheProgramEndsOnSigterm) {
    const QString config = tempPath("config");
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("XDG_CONFIG_HOME", config);
    program.setProcessEnvironment(environment);
    program.start(KESTROVA_GUI_PATH, {});
    ASSERT_TRUE(program.waitForStarted(5000));
    // The start settings are written once the program listens for the signal.
    qputenv("XDG_CONFIG_HOME", config.toUtf8());
    ASSERT_TRUE(test::WaitUntil([] { return !GetSetting(SettingsAppKestrova, "Video Kestrova", "Path").isEmpty(); }, 20000));
    EXPECT_EQ(GetSetting(SettingsAppKestrova, "Video Kestrova", "Path"), homeFolder());
    ::kill(pid_t(program.processId()), SIGTERM);
    ASSERT_TRUE(program.waitForFinished(5000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
}
