#include "master.h"

#include "preferences.h"
#include "status_monitor.h"

#include "capture/video_screen.h"
#include "core/folders.h"
#include "core/global_state.h"
#include "core/translate.h"
#include "ui/about_window.h"

#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QStatusBar>
#include <QUrl>

namespace kestrova {

Master::Master(QWidget* parent) : QMainWindow(parent), freeSpace(DiskFreeSpace), mdiArea_(new QMdiArea(this)) {
    setObjectName(QStringLiteral("Master"));
    setWindowTitle(Vars.VersionText);
    setMinimumSize(665, 480);
    resize(800, 600);
    mdiArea_->setObjectName(QStringLiteral("MDIArea"));
    setCentralWidget(mdiArea_);
    buildStatusBar();
    setUpVideo();
    buildBands();
    buildMainToolbar();
    buildMenus();
    buildAudioMenu();
    setUpDisplay();
    setUpStatusMonitor();
    connect(videoScreen_, &VideoScreen::statusText, statusString_, &QLabel::setText);
    connect(videoScreen_, &VideoScreen::recordButtonImage, this, &Master::setRecordImage);
    connect(videoScreen_, &VideoScreen::movieStopRequested, this, &Master::StopMovieRecord);
    connect(videoScreen_, &VideoScreen::panelText, this, [this](const QString& key, const QString& text) {
        if (QLabel* panel = statusBarPanel(key)) panel->setText(text);
    });
}

void Master::showPreferences(Qt::WindowModality modality) {
    if (preferences_ == nullptr) preferences_ = new Preferences(this);
    preferences_->LoadValues();
    // The modality of a shown window does not change.
    if (preferences_->windowModality() != modality) preferences_->hide();
    preferences_->setWindowModality(modality);
    preferences_->show();
    preferences_->raise();
}

void Master::showAbout() {
    auto* about = new AboutWindow(Vars.VersionText, Vars.HomePageAddress, this);
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->setWindowModality(Qt::ApplicationModal);
    about->show();
}

void Master::showHelp() { openInBrowser(QUrl::fromLocalFile(DataFilePath(QStringLiteral("help/kestrova.html"))).toString()); }

void EndProgram(Master& master) {
    Vars.ShuttingDown = true;
    master.videoScreen()->Disconnect();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != &master && window->isVisible()) window->close();
    }
    QCoreApplication::exit(0);
}

Master* RunningMaster() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* master = qobject_cast<Master*>(window)) return master;
    }
    return nullptr;
}

}  // namespace kestrova
