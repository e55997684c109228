#include "start.h"

#include "core/global_state.h"
#include "core/startup.h"
#include "mainwindow/master.h"
#include "platform/media/engine_threads.h"
#include "platform/quit_signals.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    kestrova::PrepareApplication();
    kestrova::InstallQuitSignalHandler([] {
        if (kestrova::Master* master = kestrova::RunningMaster()) {
            master->closeBySystem();
        } else {  // still on the splash window
            kestrova::Vars.ShuttingDown = true;
            QCoreApplication::exit(0);
        }
    });
    // The start runs inside the event loop, so that a close request during any of its windows ends
    // the loop for good.
    QPointer<kestrova::Master> master;
    QTimer::singleShot(0, [&master] {
        master = kestrova::Main({.commandLine = QCoreApplication::arguments().mid(1).join(QLatin1Char(' '))});
        if (!master) QCoreApplication::exit(0);
    });
    const int status = QApplication::exec();
    delete master;
    return kestrova::media::EndOfProgram(status);
}
