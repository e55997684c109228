#include "fullscreen_window.h"

#include "core/global_state.h"
#include "core/number_forms.h"
#include "platform/capture_window.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

namespace kestrova {

Fullscreen::Fullscreen(const QImage& mira, int previewRate, QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::Window), mira_(mira), keyy_(new QLineEdit(this)), previewRate_(previewRate) {
    setObjectName(QStringLiteral("Fullscreen"));
    setPalette(QPalette(Qt::black));
    setAutoFillBackground(true);
    keyy_->setObjectName(QStringLiteral("Keyy"));
    keyy_->hide();
    keyy_->installEventFilter(this);
    const QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry() : QRect(0, 0, 640, 480);
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("mira"));
    picture->setPixmap(QPixmap::fromImage(mira_));
    picture->setGeometry(screen.width(), screen.height(), mira_.width(), mira_.height());
    setGeometry(screen);
}

Fullscreen::~Fullscreen() { release(); }

void Fullscreen::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!window_) connectDriver();
    keyy_->setFocus();
}

void Fullscreen::connectDriver() {
    window_ = capCreateCaptureWindow(QStringLiteral("VIDEO WINDOW"), this, 0, 0, width(), height());
    if (!capDriverConnect(window_, Vars.CurrentDeviceID.toInt())) {
        release();
        return;
    }
    CAPDRIVERCAPS caps;
    capDriverGetCaps(window_, caps);
    capPreview(window_, previewRate_);
    CAPSTATUS status;
    capGetStatus(window_, status);
    if (status.fScale) {
        const int left = int(RoundHalfEven((width() - int(status.uiImageWidth)) / 2.0));
        const int top = int(RoundHalfEven((height() - int(status.uiImageHeight)) / 2.0));
        capSetWindowPos(window_, left, top, int(status.uiImageWidth), int(status.uiImageHeight));
    } else {
        capPreviewScale(window_, true);
        capSetWindowPos(window_, 0, 0, width(), height());
    }
    if (Tag == QLatin1String("OVERLAY")) capOverlay(window_);
    if (QWidget* capture = CaptureWindow::find(window_)) capture->setFocusProxy(keyy_);
}

void Fullscreen::keyPressEvent(QKeyEvent*) { close(); }

bool Fullscreen::eventFilter(QObject* watched, QEvent* event) {
    if (watched == keyy_ && event->type() == QEvent::KeyPress) {
        close();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void Fullscreen::done(int result) {
    release();
    QDialog::done(result);
}

void Fullscreen::release() {
    if (window_) capDriverDisconnect(window_);
    window_ = 0;
}

}  // namespace kestrova
