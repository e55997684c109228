#include "app/start.h"

#include "core/global_state.h"
#include "core/settings.h"
#include "mainwindow/master.h"

#include "kestrova_test.h"

#include <QApplication>
#include <QEvent>
#include <QProcess>
#include <QThread>
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
// with status 0, whether it comes during the splash window or after the main window has opened.
TEST_F(StartProcedure, TheProgramEndsOnSigterm) {
    struct Run {
        QString config;
        QProcess process;
    };
    Run onSplash, onMainWindow;
    onSplash.config = tempPath("config-splash");
    onMainWindow.config = tempPath("config-main");
    for (Run* run : {&onSplash, &onMainWindow}) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("XDG_CONFIG_HOME", run->config);
        run->process.setProcessEnvironment(environment);
        run->process.start(KESTROVA_GUI_PATH, {});
        ASSERT_TRUE(run->process.waitForStarted(5000));
    }
    // The start settings are written once the program listens for the signal.
    const auto started = [this](const Run& run) {
        qputenv("XDG_CONFIG_HOME", run.config.toUtf8());
        for (int i = 0; i < 400 && GetSetting(SettingsAppKestrova, "Video Kestrova", "Path").isEmpty(); ++i) {
            QThread::msleep(50);
        }
        return GetSetting(SettingsAppKestrova, "Video Kestrova", "Path");
    };
    EXPECT_EQ(started(onSplash), homeFolder());
    ::kill(pid_t(onSplash.process.processId()), SIGTERM);
    EXPECT_EQ(started(onMainWindow), homeFolder());
    QThread::msleep(3500);  // the splash window closes itself after 3 seconds
    ::kill(pid_t(onMainWindow.process.processId()), SIGTERM);
    for (Run* run : {&onSplash, &onMainWindow}) {
        ASSERT_TRUE(run->process.waitForFinished(10000));
        EXPECT_EQ(run->process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(run->process.exitCode(), 0);
    }
}
