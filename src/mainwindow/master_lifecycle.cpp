// The main window's load and unload: lists, geometry and Toolbars ticks restored, the device chooser,
// the first capture mode and the command-line file; on closing everything stored and the question
// asked only when the user closes the window.

#include "master.h"

#include "capture/device_toolbar.h"
#include "capture/video_screen.h"
#include "core/global_state.h"
#include "core/number_forms.h"
#include "core/settings.h"
#include "platform/prompts.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>

#include <algorithm>

namespace kestrova {

namespace {

const QString WindowSection = QStringLiteral("Window");

}  // namespace

double TwipsPerPixel(const QWidget& window) {
    const QScreen* screen = window.screen();
    const double dpi = screen != nullptr ? screen->logicalDotsPerInchX() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

QRect RestoredGeometry(const QRect& available, double twipsPerPixel) {
    auto stored = [&](const char* key, double pixels) {
        const QString text = GetSetting(SettingsAppTitle(), WindowSection, QString::fromLatin1(key));
        return text.isEmpty() ? pixels : Val(text) / twipsPerPixel;
    };
    const int width = qRound(stored("Width", 800));
    const int height = qRound(stored("Height", 600));
    const int left = qRound(stored("Left", available.left() + (available.width() - width) / 2.0));
    const int top = qRound(stored("Top", available.top() + (available.height() - height) / 2.0));
    return {left, top, width, height};
}

void Master::Load(const QString& commandLine) {
    if (Vars.ShuttingDown) return;
    deviceToolbar_->setStyleSheet(QStringLiteral("QToolBar { background: white; }"));
    Vars.ImageCounterOffset = 0;
    Vars.ImageCounterMask = QStringLiteral("#000000");
    loadWebShareSettings();
    setWindowTitle(Vars.VersionText);

    const QRect available = screen() != nullptr ? screen()->availableGeometry() : QRect(0, 0, 1280, 1024);
    // Without a stored size the first picture decides it (see fitFirstPicture).
    fitsFirstPicture_ = GetSetting(SettingsAppTitle(), WindowSection, QStringLiteral("Width")).isEmpty();
    const QRect geometry = RestoredGeometry(available, TwipsPerPixel(*this));
    resize(geometry.size());
    move(geometry.topLeft());
    const QString state = GetSetting(SettingsAppTitle(), WindowSection, QStringLiteral("State"), QStringLiteral("0"));
    if (state == QLatin1String("2")) setWindowState(Qt::WindowMaximized);
    if (state == QLatin1String("1")) setWindowState(Qt::WindowMinimized);

    for (int i = 0; i < ToolbarItemCount; ++i) {
        toolbarsItems_[i]->setChecked(GetSetting(SettingsAppTitle(), WindowSection, QStringLiteral("Toolbar%1").arg(i),
                                                 QStringLiteral("1")) == QLatin1String("1"));
    }
    layoutRestored_ = true;
    previewRate_->setCurrentIndex(Vars.PreviewRate < 1 ? 11 : qMin(Vars.PreviewRate - 1, previewRate_->count() - 1));
    fillSeriesLists();

    startDeviceChoice();
    SyncCaptureFileName();
    SetCaptureMode(QStringLiteral("movie"));
    setStations(ReadStationsFile(stationsFilePath()));

    if (!commandLine.isEmpty() && !QFileInfo::exists(commandLine)) {
        MsgBox(QStringLiteral("Cannot open ") + commandLine, PromptIcon::Exclamation);
    }
}

// On a first start the default size was made for thinner bands than these: once the first device
// connects, the window grows to show its picture whole with its panels, within the screen. A
// stored size is the user's and stays.
void Master::fitFirstPicture() {
    const SourceKind kind = videoScreen_->Kind();
    if (kind == SourceKind::None || kind == SourceKind::Failed) return;  // no picture yet
    if (!std::exchange(fitsFirstPicture_, false) || windowState() != Qt::WindowNoState) return;
    const QRect available = screen() != nullptr ? screen()->availableGeometry() : QRect(0, 0, 1280, 1024);
    const QRect video = videoFrame_->geometry();
    const QSize needed(video.right() + 1, video.bottom() + 1);
    const QSize grow = (needed - mdiArea_->viewport()->size()).expandedTo(QSize(0, 0));
    if (grow.isNull()) return;
    const QSize frame = frameGeometry().size() - size();
    const QSize wanted = (size() + grow).boundedTo(available.size() - frame);
    resize(wanted);
    // Still on the screen.
    QRect placed = frameGeometry();
    placed.moveLeft(std::clamp(placed.left(), available.left(), std::max(available.left(), available.right() + 1 - placed.width())));
    placed.moveTop(std::clamp(placed.top(), available.top(), std::max(available.top(), available.bottom() + 1 - placed.height())));
    move(placed.topLeft());
}

void Master::storeLayout() {
    // A close before the load has restored the layout must not write defaults over it.
    if (!layoutRestored_) return;
    const QString app = SettingsAppTitle();
    if (windowState() == Qt::WindowNoState) {
        const double twips = TwipsPerPixel(*this);
        auto store = [&](const char* key, int pixels) {
            SaveSetting(app, WindowSection, QString::fromLatin1(key), PlainDecimal(static_cast<float>(pixels * twips)));
        };
        store("Top", y());
        store("Left", x());
        store("Height", height());
        store("Width", width());
    }
    for (int i = 0; i <= 6; ++i) {
        SaveSetting(app, WindowSection, QStringLiteral("Toolbar%1").arg(i),
                    toolbarsItems_[i]->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    }
    WriteStationsFile(stationsFilePath(), stations());
    const QString state = (windowState() & Qt::WindowMinimized)   ? QStringLiteral("1")
                          : (windowState() & Qt::WindowMaximized) ? QStringLiteral("2")
                                                                  : QStringLiteral("0");
    SaveSetting(app, WindowSection, QStringLiteral("State"), state);
    SaveSetting(SettingsAppVC, SettingsAppVC, QStringLiteral("PUMV"), Vars.AVIInfo[7]);
    SaveSetting(SettingsAppVC, SettingsAppVC, QStringLiteral("AP"), Vars.AVIInfo[8]);
    SaveSetting(SettingsAppVC, SettingsAppVC, QStringLiteral("ES"), Vars.AVIInfo[9]);
    storeWebShareSettings();
}

bool Master::QueryUnload(UnloadMode mode) {
    if (Vars.ShuttingDown) return true;
    storeLayout();
    if (mode == UnloadMode::User) {
        const PromptAnswer answer =
            MsgBox(windowTitle() + QStringLiteral("\r\n\r\nAre you sure you want to quit ?"), PromptIcon::Question,
                   PromptButtons::YesNo);
        // The system may have ended the program while the question was open.
        if (Vars.ShuttingDown) return true;
        if (answer != PromptAnswer::Yes) return false;
    }
    EndProgram(*this);
    return true;
}

void Master::exitProgram() {
    unloadMode_ = UnloadMode::Program;
    close();
}

void Master::closeBySystem() {
    unloadMode_ = UnloadMode::System;
    // Straight to the unload: a close box question may be open, and a window does not close twice.
    QueryUnload(UnloadMode::System);
    close();
}

void Master::closeEvent(QCloseEvent* event) {
    const UnloadMode mode = unloadMode_;
    unloadMode_ = UnloadMode::User;
    event->setAccepted(QueryUnload(mode));
}

}  // namespace kestrova
