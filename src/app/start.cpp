#include "start.h"

#include "core/global_state.h"
#include "core/startup.h"
#include "mainwindow/master.h"
#include "platform/media/engine_threads.h"
#include "platform/quit_signals.h"
#include "ui/splash_window.h"

#include <QGuiApplication>
#include <QPointer>
#include <QSessionManager>
#include <QTimer>

namespace kestrova {

namespace {

void closeBySystem() {
    if (Master* master = RunningMaster()) {
        master->closeBySystem();
    } else {  // still on the splash window
        Vars.ShuttingDown = true;
        QCoreApplication::exit(0);
    }
}

}  // namespace

Master* Main(const StartOptions& options) {
    SetStartDefaults();
    WriteStartSettings();
    {
        SplashWindow splash(Vars.VersionText, options.splashMilliseconds);
        splash.exec();
    }
    if (Vars.ShuttingDown) return nullptr;  // the system asked to close during the splash
    ReadStartPreferences();
    auto* master = new Master;
    master->setAttribute(Qt::WA_DeleteOnClose);
    master->show();
    master->Load(options.commandLine);
    return master;
}

int RunProgram(const StartOptions& options) {
    InstallQuitSignalHandler(closeBySystem);
    // The end of the desktop session is the system's close too.
    const QMetaObject::Connection session =
        QObject::connect(qGuiApp, &QGuiApplication::commitDataRequest, qGuiApp, [](QSessionManager&) { closeBySystem(); });
    QPointer<Master> master;
    QTimer::singleShot(0, qGuiApp, [&master, &options] {
        master = Main(options);
        if (!master) QCoreApplication::exit(0);
    });
    const int status = QCoreApplication::exec();
    QObject::disconnect(session);
    delete master;
    return media::EndOfProgram(status);
}

}  // namespace kestrova
