// The main window's display controls: full screen, the preview rate, the renderer, the picture laid
// over the live video, and the program's priority.

#include "master.h"

#include "capture/device_toolbar.h"
#include "capture/fullscreen_window.h"
#include "capture/video_screen.h"
#include "core/global_state.h"
#include "core/settings.h"
#include "core/translate.h"
#include "imaging/image_window.h"
#include "platform/picture_writer.h"
#include "platform/process_priority.h"
#include "platform/prompts.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QMenu>
#include <QSpinBox>
#include <QToolButton>

namespace kestrova {

void Master::setUpDisplay() {
    setPriority = SetProcessPriority;
    if (auto* fullscreen = findChild<QAction*>(QStringLiteral("mnuFullScreen"))) {
        fullscreen->setEnabled(true);
        connect(fullscreen, &QAction::triggered, this, &Master::ViewFullscreen);
    }
    connect(previewRate_, qOverload<int>(&QComboBox::activated), this, &Master::previewRateClicked);
    QMenu* view = findChild<QMenu*>(QStringLiteral("mnuView"));
    if (!view) return;
    view->addSeparator();
    QAction* directX = view->addAction(Translate(QStringLiteral("DirectX")));
    directX->setObjectName(QStringLiteral("mnuDirectX"));
    directX->setCheckable(true);
    connect(directX, &QAction::triggered, this, &Master::toggleDirectX);
    QAction* overlay = view->addAction(Translate(QStringLiteral("Overlay Image")));
    overlay->setObjectName(QStringLiteral("mnuOverlayImage"));
    overlay->setCheckable(true);
    connect(overlay, &QAction::triggered, this, [this, overlay] {
        overlay->setChecked(!overlay->isChecked());  // the tick follows the choice, not the click
        OverlayImage();
    });
    QAction* clear = view->addAction(Translate(QStringLiteral("Clear")));
    clear->setObjectName(QStringLiteral("mnuClear"));
    connect(clear, &QAction::triggered, this, [this] { videoScreen_->wdmX()->ImageOverlay(QImage(), 0, 0, QColor(), 0); });
    QAction* overlayMode = findChild<QAction*>(QStringLiteral("mnuOverlay"));
    connect(videoScreen_, &VideoScreen::controlsChanged, this, [directX, overlay, clear, overlayMode](const DeviceControls& controls) {
        if (overlayMode) overlayMode->setEnabled(controls.overlay);
        directX->setEnabled(controls.directX);
        directX->setChecked(controls.directXChecked);
        overlay->setEnabled(controls.overlayImage);
        clear->setEnabled(overlay->isChecked());
    });
    QMenu* priority = view->addMenu(Translate(QStringLiteral("Priority")));
    priority->setObjectName(QStringLiteral("cpu_priority"));
    const std::array<const char*, 3> captions = {"RealTime Priority", "High Priority", "Normal Priority"};
    for (int entry = 0; entry < 3; ++entry) {
        QAction* item = priority->addAction(Translate(QString::fromLatin1(captions[size_t(entry)])));
        item->setCheckable(true);
        item->setChecked(entry == 2);
        connect(item, &QAction::triggered, this, [this, entry] { cpuPriorityClicked(entry); });
    }
}

void Master::cpuPriorityClicked(int entry) {
    static constexpr int NiceValues[] = {PriorityRealTime, PriorityHigh, PriorityNormal};
    const QList<QAction*> items = findChild<QMenu*>(QStringLiteral("cpu_priority"))->actions();
    const QString refused = setPriority(NiceValues[entry]);
    if (!refused.isEmpty()) {
        // The tick stays where the priority is.
        items[entry]->setChecked(false);
        CurrentPrompts().message(Translate(QStringLiteral("The priority cannot be changed: ")) + refused, PromptIcon::Critical,
                                 PromptButtons::Ok, SettingsAppTitle());
        return;
    }
    for (int i = 0; i < items.size(); ++i) items[i]->setChecked(i == entry);
}

void Master::previewRateClicked(int position) {
    Vars.PreviewRate = short(position + 1);
    videoScreen_->Preview(Vars.PreviewRate);
    if (videoScreen_->PreviewFollowsMovieRate()) movieFrameRate_->setValue(Vars.PreviewRate);
}

void Master::ViewFullscreen() {
    if (videoScreen_->FullScreenInPlace()) return;
    // A capture-window driver fills the screen in a window of its own. The video window's own caption names the device again; the main window's would be stored
    // as the last device.
    const QString device = videoScreen_->DeviceCaption();
    videoScreen_->Disconnect();
    Vars.CurrentDeviceID = QString::number(Vars.DeviceIndex);
    const QToolButton* overlay = deviceToolbar_->button(QStringLiteral("overlay"));
    const bool overlayDown = overlay && overlay->isChecked();
    Fullscreen fullscreen(videoScreen_->mira(), previewRate_->currentIndex() + 1, this);
    fullscreen.Tag = overlayDown ? QStringLiteral("OVERLAY") : QString();
    fullscreenOpened(fullscreen);
    fullscreen.exec();
    if (Vars.ShuttingDown) return;  // the system closed the program while the picture filled the screen
    videoScreen_->ConnectVideoCaptureDevice(Vars.CurrentDeviceID.toInt(), Vars.CurrentSystemType, device);
    if (overlayDown) videoScreen_->Overlay();
}

void Master::toggleDirectX(bool checked) {
    SaveSetting(SettingsAppTitle(), QStringLiteral("System"), QStringLiteral("VMR"), checked ? QStringLiteral("Yes") : QStringLiteral("No"));
    CaptureControl& control = *videoScreen_->wdmX();
    control.setConnected(false);
    control.setUseVMR9(checked);
    control.setConnected(true);
    control.setPreviewOn(true);
    videoScreen_->ResizeWDM();
}

void Master::OverlayImage() {
    auto* item = findChild<QAction*>(QStringLiteral("mnuOverlayImage"));
    const QString name = CurrentPrompts().openFile(
        Translate(QStringLiteral("Open...")),
        QtFileFilter(QStringLiteral("All files |*.bmp;*.jpg;*.gif|GIF File (*.gif)|*.gif|Bitmap File (*.bmp)|*.bmp|JPEG Image "
                                    "File (*.jpg)|*.jpg|")),
        QString());
    if (name.isEmpty()) return;
    videoScreen_->MotionPicture = ReadPicture(name);
    const std::optional<QColor> colour = CurrentPrompts().chooseColor(Qt::black, Translate(QStringLiteral("Choose the transparency color...")));
    if (!colour) return;
    videoScreen_->wdmX()->ImageOverlay(videoScreen_->MotionPicture, 0, 0, *colour, 0);
    item->setChecked(true);
    findChild<QAction*>(QStringLiteral("mnuClear"))->setEnabled(true);
}

}  // namespace kestrova
