// The main window's side of the video window: its MDI frame, the device tool bar, the chooser at
// start-up and the status texts it reports.

#include "master.h"

#include "capture/device_chooser.h"
#include "capture/device_toolbar.h"
#include "capture/video_screen.h"

#include "core/global_state.h"

#include <QCheckBox>
#include <QCursor>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QToolButton>
#include <QMenuBar>
#include <QSpinBox>

namespace kestrova {

void Master::setUpVideo() {
    videoScreen_ = new VideoScreen;
    videoFrame_ = mdiArea_->addSubWindow(videoScreen_, Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint);
    videoFrame_->setObjectName(QStringLiteral("VideoScreenFrame"));
    videoFrame_->resize(320, 260);
    videoFrame_->move(0, 0);
    videoScreen_->show();

    deviceToolbar_ = new DeviceToolbar(*videoScreen_, this);
    addToolBar(Qt::TopToolBarArea, deviceToolbar_);
    connect(videoScreen_, &VideoScreen::controlsChanged, deviceToolbar_, &DeviceToolbar::applyControls);
    connect(deviceToolbar_, &DeviceToolbar::fullscreenClicked, this, &Master::ViewFullscreen);
    QToolButton* about = deviceToolbar_->button(QStringLiteral("about"));
    about->setEnabled(true);
    connect(about, &QToolButton::clicked, this, &Master::showAbout);
    connect(videoScreen_, &VideoScreen::timeText, this, [this](const QString& text) {
        statusPanel_->findChild<QLabel*>(QStringLiteral("StatusTime"))->setText(text);
    });
    connect(videoScreen_, &VideoScreen::droppedText, this, [this](const QString& text) {
        statusPanel_->findChild<QLabel*>(QStringLiteral("DroppedString"))->setText(text);
    });
    connect(videoScreen_, &VideoScreen::captureWindowMenu, this, [this] {
        const QList<QAction*> menus = menuBar()->actions();
        if (menus.size() > 3 && menus[3]->menu()) menus[3]->menu()->popup(QCursor::pos());
    });
    connect(videoScreen_, &VideoScreen::initialized, this, &Master::fitFirstPicture);
    connect(videoScreen_, &VideoScreen::vfwSettingsRead, this, [this](const VfwDriverSettings& driver) {
        movieFrameRate_->setValue(driver.frameRate);
        movieDisableLimit_->setChecked(driver.noLimit);
        movieHours_->setValue(driver.hours);
        movieMinutes_->setValue(driver.minutes);
        movieSeconds_->setValue(driver.seconds);
        ShowAudioFormat(driver.waveFormat);
        AudioOnOff(driver.audio);
    });
}

ChooseDevice* Master::startDeviceChoice() {
    QStringList devices;
    CaptureControl& control = *videoScreen_->wdmX();
    for (int i = 0; i < control.VideoDeviceCount(); ++i) devices << control.VideoDeviceName(i);
    deviceToolbar_->BuildDeviceMenu(VfwDriverNames(), Vars.NewerWindows, devices);
    auto* chooser = new ChooseDevice(deviceToolbar_->deviceEntries(), *videoScreen_, this);
    chooser->setAttribute(Qt::WA_DeleteOnClose);
    chooser->show();
    return chooser;
}

}  // namespace kestrova
