#include "start.h"

#include "core/global_state.h"
#include "core/startup.h"
#include "mainwindow/master.h"
#include "ui/splash_window.h"

namespace kestrova {

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

}  // namespace kestrova
