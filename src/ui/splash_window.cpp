#include "splash_window.h"

#include <QLinearGradient>
#include <QPainter>
#include <QTimer>

namespace kestrova {

SplashWindow::SplashWindow(const QString& versionText, int closeAfterMilliseconds, QWidget* parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      versionText_(versionText),
      closeAfterMilliseconds_(closeAfterMilliseconds) {
    setObjectName(QStringLiteral("Splash"));
    setFixedSize(480, 240);
}

void SplashWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    QTimer::singleShot(closeAfterMilliseconds_, this, &QDialog::accept);
}

void SplashWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, height());
    sky.setColorAt(0.0, QColor(18, 32, 64));
    sky.setColorAt(1.0, QColor(52, 92, 150));
    painter.fillRect(rect(), sky);

    // A lens: three rings around a bright pupil.
    const QPointF centre(92, height() / 2.0);
    for (int ring = 0; ring < 3; ++ring) {
        painter.setPen(QPen(QColor(220, 230, 255, 200 - ring * 50), 4));
        painter.drawEllipse(centre, 52.0 - ring * 14, 52.0 - ring * 14);
    }
    painter.setBrush(QColor(255, 196, 64));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(centre, 9, 9);

    painter.setPen(Qt::white);
    QFont title(QStringLiteral("Arial"), 26, QFont::Bold);
    painter.setFont(title);
    painter.drawText(QRect(170, 60, width() - 180, 50), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Video Kestrova"));
    QFont caption(QStringLiteral("Arial"), 10);
    painter.setFont(caption);
    painter.drawText(QRect(170, 120, width() - 180, 60), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                     versionText_);
}

}  // namespace kestrova
