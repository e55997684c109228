#include "capture_overlays.h"

#include <QFont>
#include <QPainter>

#include <cmath>

namespace kestrova {

void CaptureOverlays::setText(int number, const TextOverlayItem& item) {
    if (item.text.isEmpty()) {
        texts.remove(number);
    } else {
        texts.insert(number, item);
    }
}

void CaptureOverlays::setImage(const QImage& picture, int x, int y, const QColor& transparency) {
    if (picture.isNull()) {
        image = ImageOverlayItem();
        return;
    }
    QImage keyed = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = transparency.rgb() & 0xFFFFFF;
    for (int row = 0; row < keyed.height(); ++row) {
        auto* pixels = reinterpret_cast<QRgb*>(keyed.scanLine(row));
        for (int column = 0; column < keyed.width(); ++column) {
            if ((pixels[column] & 0xFFFFFF) == key) pixels[column] = 0;
        }
    }
    image = {keyed, x, y};
}

QString SmpteTimecode(qint64 milliseconds, double fps) {
    const qint64 total = std::max<qint64>(0, milliseconds);
    const int rate = std::max(1, int(std::lround(fps)));
    const qint64 seconds = total / 1000;
    const int frame = int((total % 1000) * rate / 1000);
    return QStringLiteral("%1:%2:%3:%4")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg((seconds / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'))
        .arg(frame, 2, 10, QLatin1Char('0'));
}

void DrawCaptureOverlays(QPainter& painter, const CaptureOverlays& overlays, qint64 elapsedMs, double fps) {
    if (!overlays.image.picture.isNull()) painter.drawImage(overlays.image.x, overlays.image.y, overlays.image.picture);
    for (const TextOverlayItem& item : overlays.texts) {
        QFont font(item.fontName.isEmpty() ? QStringLiteral("Arial") : item.fontName);
        font.setPointSize(std::max(1, item.size));
        painter.setFont(font);
        painter.setPen(item.colour);
        const QString text = item.text == QLatin1String("SMPTE") ? SmpteTimecode(elapsedMs, fps) : item.text;
        painter.drawText(item.x, item.y + painter.fontMetrics().ascent(), text);
    }
}

}  // namespace kestrova
