#include "start.h"

#include "core/global_state.h"
#include "core/startup.h"
#include "mainwindow/master.h"
#include "platform/quit_signals.h"

#include <QApplication>
#include <QPointer>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    kestrova::PrepareApplication();
    QPointer<kestrova::Master> master;
    kestrova::InstallQuitSignalHandler([&master] {
        if (master) {
            master->closeBySystem();
        } else {  // still on the splash window
            kestrova::Vars.ShuttingDown = true;
            QCoreApplication::exit(0);
        }
    });
    master = kestrova::Main({.commandLine = QCoreApplication::arguments().mid(1).join(QLatin1Char(' '))});
    if (!master) return 0;
    return QApplication::exec();
}
