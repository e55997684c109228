// The status monitor: the 100 ms tick (shortcuts, file name, size estimate, free space), the tick that
// clears the highlighted texts after a capture, and the status bar click.

#include "master.h"
#include "status_monitor.h"

#include "capture/video_screen.h"
#include "core/global_state.h"
#include "ui/keyed.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextEdit>
#include <QToolBar>
#include <QUrl>

namespace kestrova {

void Master::setUpStatusMonitor() {
    openInBrowser = [](const QString& address) { QDesktopServices::openUrl(QUrl::fromUserInput(address)); };
    // One application-wide filter: it latches the shortcuts and sees clicks on the status bar panels.
    qApp->installEventFilter(this);
    masterTimer_.setInterval(100);
    connect(&masterTimer_, &QTimer::timeout, this, &Master::masterTimerTick);
    masterTimer_.start();
    masterTimer2_.setInterval(3000);
    connect(&masterTimer2_, &QTimer::timeout, this, &Master::masterTimer2Tick);
}

namespace {

// A key a text field uses for its own editing (CTRL+A selects all): it is the field's, not a shortcut.
bool EditingKey(const QWidget* widget, const QKeyEvent& key) {
    const auto* combo = qobject_cast<const QComboBox*>(widget);
    const bool textField = qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QAbstractSpinBox*>(widget) ||
                           qobject_cast<const QTextEdit*>(widget) || qobject_cast<const QPlainTextEdit*>(widget) ||
                           (combo && combo->isEditable());
    if (!textField) return false;
    for (const QKeySequence::StandardKey editing :
         {QKeySequence::SelectAll, QKeySequence::Undo, QKeySequence::Redo, QKeySequence::Cut, QKeySequence::Copy,
          QKeySequence::Paste, QKeySequence::DeleteCompleteLine, QKeySequence::DeleteStartOfWord, QKeySequence::DeleteEndOfWord,
          QKeySequence::Deselect}) {
        if (key.matches(editing)) return true;
    }
    return false;
}

}  // namespace

bool Master::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        // Latched until the next tick, so a short press between two ticks still counts.
        const auto* key = static_cast<QKeyEvent*>(event);
        const auto* widget = qobject_cast<QWidget*>(watched);
        if ((key->modifiers() & Qt::ControlModifier) && widget != nullptr && widget->window() == this && !EditingKey(widget, *key)) {
            pressedShortcuts_.insert(key->key());
        }
    } else if (event->type() == QEvent::MouseButtonPress && watched->parent() == statusBar()) {
        openInBrowser(Vars.HomePageAddress);
    } else if (event->type() == QEvent::Resize && watched == statusPanel_) {
        layOutStatusPanel();
    } else if (event->type() == QEvent::MouseButtonPress && watched == webShareUrl_) {
        openInBrowser(webShareAddress());
    }
    return QMainWindow::eventFilter(watched, event);
}

void Master::masterTimerTick() {
    if (Vars.ShuttingDown) return;
    const QSet<int> pressed = std::exchange(pressedShortcuts_, {});
    if (isActiveWindow()) {
        const std::array<std::pair<int, const char*>, 5> shortcuts = {
            {{Qt::Key_M, "movie"}, {Qt::Key_I, "image"}, {Qt::Key_U, "multiple"}, {Qt::Key_W, "webshare"}, {Qt::Key_A, "avibuilder"}}};
        for (const auto& [key, mode] : shortcuts) {
            if (pressed.contains(key)) {
                SetCaptureMode(QString::fromLatin1(mode));
                break;
            }
        }
    }
    webShareUrl_->setText(webShareAddress());
    if (Vars.CaptureFileName.isEmpty()) Vars.CaptureFileName = Vars.AppFolder + QStringLiteral("capture.avi");

    const double freeBytes = freeSpace(Vars.CaptureFileName);
    if (videoScreen_->Capturing()) {
        Vars.CurrentFreeSpace = freeBytes;
        if (Vars.CurrentFreeSpace >= Vars.RecordStartFreeSpace) Vars.RecordStartFreeSpace = Vars.CurrentFreeSpace;
        Vars.EstimatedFileSize = static_cast<float>(Vars.RecordStartFreeSpace - Vars.CurrentFreeSpace);
        statusBarPanel(QStringLiteral("filesize"))->setText(EstimatedSizeText(Vars.EstimatedFileSize));
    } else {
        statusBarPanel(QStringLiteral("filesize"))->setText(Vars.HomePageAddress);
        statusBarPanel(QStringLiteral("filename"))->setText(QStringLiteral("Filename: ") + Vars.CaptureFileName);
        // A capture armed by motion has ended.
        QAction* motion = FindKeyed<QAction>(operationBar_, QStringLiteral("motion"));
        if (!motion->isEnabled() && ImageKey(recordButton()) == QLatin1String("record")) motion->setEnabled(true);
    }
    statusBarPanel(QStringLiteral("diskcap"))->setText(DiskSpaceText(freeBytes));
    if (videoScreen_->ProgressThroughCallback()) ShowCaptureProgress(Vars.LastStatusID);
}

void Master::masterTimer2Tick() {
    auto highlighted = [](const QLabel* label) { return label->palette().color(QPalette::WindowText) != Qt::white; };
    auto* dropped = statusPanel_->findChild<QLabel*>(QStringLiteral("DroppedString"));
    if (highlighted(statusString_)) {
        statusPanel_->findChild<QLabel*>(QStringLiteral("StatusCaption"))->setText(QStringLiteral("Status:"));
        statusString_->clear();
        masterTimer2_.stop();
    }
    if (highlighted(dropped)) {
        dropped->clear();
        masterTimer2_.stop();
    }
}

}  // namespace kestrova
