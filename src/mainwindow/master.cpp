#include "master.h"

#include "preferences.h"
#include "status_monitor.h"

#include "capture/video_screen.h"
#include "core/folders.h"
#include "core/global_state.h"
#include "core/translate.h"
#include "ui/about_window.h"
#include "ui/help_window.h"

#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QStatusBar>
#include <QUrl>

namespace kestrova {

Master::Master(QWidget* parent) : QMainWindow(parent), freeSpace(DiskFreeSpace), mdiArea_(new QMdiArea(this)) {
    setObjectName(QStringLiteral("Master"));
    setWindowTitle(Vars.VersionText);
    resize(800, 600);
    mdiArea_->setObjectName(QStringLiteral("MDIArea"));
    // A picture larger than the workspace (a zoom of 2x) scrolls rather than hides its panels.
    mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea_);
    buildStatusBar();
    setUpVideo();
    buildBands();
    buildMainToolbar();
    buildMenus();
    // The end of a capture asks for the viewer when the preferences say so.
    connect(this, &Master::movieViewerWanted, this, &Master::openMovieViewer);
    buildAudioMenu();
    setUpDisplay();
    setUpStatusMonitor();
    // 665 x 480, or more where the bands need more with this style and these fonts.
    setMinimumSize(QSize(665, 480).expandedTo(minimumSizeHint()));
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

void Master::showHelp() {
    if (!helpWindow_) {
        helpWindow_ = new HelpWindow(QUrl::fromLocalFile(DataFilePath(QStringLiteral("help/kestrova.html"))),
                                     [this](const QString& address) { openInBrowser(address); }, this);
        helpWindow_->setAttribute(Qt::WA_DeleteOnClose);
    }
    helpWindow_->show();
    helpWindow_->raise();
    helpWindow_->activateWindow();
}

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
