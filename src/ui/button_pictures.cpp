#include "button_pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>
#include <map>

namespace kestrova {

namespace {

using Drawing = std::function<void(QPainter&)>;

const QColor Ink(40, 44, 52);
const QColor Steel(90, 100, 120);
const QColor Sky(200, 220, 255);

void camera(QPainter& p) {
    p.setBrush(Steel);
    p.drawRoundedRect(QRectF(2, 7, 20, 13), 2, 2);
    p.drawRect(QRectF(7, 4, 8, 4));
    p.setBrush(Sky);
    p.drawEllipse(QRectF(8, 9, 9, 9));
}

void filmStrip(QPainter& p, const QRectF& strip) {
    p.setBrush(Ink);
    p.drawRect(strip);
    p.setBrush(Qt::white);
    for (double y = strip.top() + 1.5; y + 2 < strip.bottom(); y += 4) {
        p.drawRect(QRectF(strip.left() + 1, y, 2, 2));
        p.drawRect(QRectF(strip.right() - 3, y, 2, 2));
    }
    p.setBrush(Sky);
    p.drawRect(QRectF(strip.left() + 4.5, strip.top() + 2, strip.width() - 9, strip.height() - 4));
}

void folder(QPainter& p) {
    p.setBrush(QColor(230, 190, 80));
    QPainterPath path;
    path.moveTo(2, 6);
    path.lineTo(9, 6);
    path.lineTo(11, 8);
    path.lineTo(21, 8);
    path.lineTo(21, 20);
    path.lineTo(2, 20);
    path.closeSubpath();
    p.drawPath(path);
}

void disk(QPainter& p) {
    p.setBrush(Steel);
    p.drawRect(QRectF(3, 3, 18, 18));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6, 3, 12, 7));
    p.setBrush(Ink);
    p.drawRect(QRectF(7, 14, 10, 7));
}

void television(QPainter& p) {
    p.setBrush(Steel);
    p.drawRoundedRect(QRectF(2, 6, 20, 15), 2, 2);
    p.setBrush(Sky);
    p.drawRect(QRectF(5, 9, 14, 9));
    p.drawLine(QPointF(8, 2), QPointF(12, 6));
    p.drawLine(QPointF(16, 2), QPointF(12, 6));
}

// A bold sign (+, -, an arrow) in the corner of the television.
void cornerSign(QPainter& p, const QPolygonF& sign, const QColor& colour) {
    television(p);
    p.setPen(QPen(colour, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(sign);
}

void scannerBody(QPainter& p) {
    p.setBrush(Steel);
    p.drawRoundedRect(QRectF(2, 11, 20, 9), 2, 2);
    p.setBrush(QColor(120, 255, 140));
    p.drawRect(QRectF(4, 13, 16, 2));
}

const std::map<QString, Drawing>& drawings() {
    static const std::map<QString, Drawing> table = {
        {QStringLiteral("record"), [](QPainter& p) { p.setBrush(QColor(220, 0, 0)); p.drawEllipse(QRectF(3, 3, 18, 18)); }},
        {QStringLiteral("stop"), [](QPainter& p) { p.setBrush(Ink); p.drawRect(QRectF(5, 5, 14, 14)); }},
        {QStringLiteral("pause"), camera},
        {QStringLiteral("image"), camera},
        {QStringLiteral("movie"), [](QPainter& p) { filmStrip(p, QRectF(4, 2, 16, 20)); }},
        {QStringLiteral("multiple"),
         [](QPainter& p) {
             p.setBrush(Sky);
             for (int i = 2; i >= 0; --i) p.drawRect(QRectF(2 + 3 * i, 8 - 3 * i, 13, 11));
         }},
        {QStringLiteral("avibuilder"),
         [](QPainter& p) {
             filmStrip(p, QRectF(2, 2, 13, 20));
             p.setPen(QPen(QColor(0, 140, 0), 3));
             p.drawLine(QPointF(19, 12), QPointF(19, 22));
             p.drawLine(QPointF(14, 17), QPointF(24, 17));
         }},
        {QStringLiteral("webshare"),
         [](QPainter& p) {
             p.setBrush(QColor(120, 180, 240));
             p.drawEllipse(QRectF(2, 2, 20, 20));
             p.setBrush(Qt::NoBrush);
             p.drawEllipse(QRectF(8, 2, 8, 20));
             p.drawLine(QPointF(2, 12), QPointF(22, 12));
             p.drawLine(QPointF(4, 7), QPointF(20, 7));
             p.drawLine(QPointF(4, 17), QPointF(20, 17));
         }},
        {QStringLiteral("open"), folder},
        {QStringLiteral("save"), disk},
        {QStringLiteral("viewer"),
         [](QPainter& p) {
             p.setBrush(Ink);
             p.drawRoundedRect(QRectF(2, 4, 20, 16), 2, 2);
             p.setBrush(QColor(120, 255, 140));
             p.drawPolygon(QPolygonF({QPointF(9, 8), QPointF(17, 12), QPointF(9, 16)}));
         }},
        {QStringLiteral("preferences"),
         [](QPainter& p) {
             p.setPen(QPen(Steel, 4, Qt::SolidLine, Qt::RoundCap));
             for (int i = 0; i < 4; ++i) {
                 p.drawLine(QLineF::fromPolar(10, i * 45.0).translated(12, 12).p2(),
                            QLineF::fromPolar(10, i * 45.0 + 180).translated(12, 12).p2());
             }
             p.setPen(QPen(Ink, 1));
             p.setBrush(Sky);
             p.drawEllipse(QRectF(7, 7, 10, 10));
         }},
        {QStringLiteral("scanner"), scannerBody},
        {QStringLiteral("choose_scanner"),
         [](QPainter& p) {
             scannerBody(p);
             p.setBrush(QColor(0, 140, 0));
             p.drawPolygon(QPolygonF({QPointF(8, 2), QPointF(16, 2), QPointF(12, 8)}));
         }},
        {QStringLiteral("tuner_station"), television},
        {QStringLiteral("tuner_add"), [](QPainter& p) {
             cornerSign(p, QPolygonF({QPointF(12, 10), QPointF(12, 18)}), QColor(0, 140, 0));
             p.drawLine(QPointF(8, 14), QPointF(16, 14));
         }},
        {QStringLiteral("tuner_remove"),
         [](QPainter& p) { cornerSign(p, QPolygonF({QPointF(8, 14), QPointF(16, 14)}), QColor(200, 30, 30)); }},
        {QStringLiteral("tuner_up"),
         [](QPainter& p) { cornerSign(p, QPolygonF({QPointF(8, 16), QPointF(12, 11), QPointF(16, 16)}), Ink); }},
        {QStringLiteral("tuner_down"),
         [](QPainter& p) { cornerSign(p, QPolygonF({QPointF(8, 11), QPointF(12, 16), QPointF(16, 11)}), Ink); }},
        {QStringLiteral("tuner_antena"),
         [](QPainter& p) {
             p.setPen(QPen(Ink, 2, Qt::SolidLine, Qt::RoundCap));
             p.drawLine(QPointF(12, 8), QPointF(12, 22));
             p.drawLine(QPointF(4, 4), QPointF(12, 10));
             p.drawLine(QPointF(20, 4), QPointF(12, 10));
             p.drawLine(QPointF(6, 12), QPointF(18, 12));
         }},
        {QStringLiteral("tuner_cable"),
         [](QPainter& p) {
             p.setPen(QPen(Ink, 3, Qt::SolidLine, Qt::RoundCap));
             p.setBrush(Qt::NoBrush);
             QPainterPath path(QPointF(3, 20));
             path.cubicTo(QPointF(8, 4), QPointF(14, 22), QPointF(19, 8));
             p.drawPath(path);
             p.setPen(QPen(Ink, 1));
             p.setBrush(QColor(230, 190, 80));
             p.drawRect(QRectF(17, 3, 5, 6));
         }},
        {QStringLiteral("tuner_country"),
         [](QPainter& p) {
             p.setBrush(QColor(120, 180, 240));
             p.drawEllipse(QRectF(3, 3, 18, 18));
             p.setBrush(QColor(80, 170, 80));
             p.drawEllipse(QRectF(6, 7, 6, 5));
             p.drawEllipse(QRectF(12, 12, 6, 6));
         }},
        {QStringLiteral("about"),
         [](QPainter& p) {
             p.setBrush(QColor(60, 120, 220));
             p.drawEllipse(QRectF(2, 2, 20, 20));
             p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
             p.drawPoint(QPointF(12, 7));
             p.drawLine(QPointF(12, 11), QPointF(12, 17));
         }},
    };
    return table;
}

void letterPlate(QPainter& painter, const QString& key) {
    painter.setBrush(QColor(160, 170, 190));
    painter.drawRoundedRect(QRectF(2, 2, 20, 20), 3, 3);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(14);
    painter.setFont(font);
    painter.drawText(QRectF(2, 2, 20, 20), Qt::AlignCenter, key.left(1).toUpper());
}

}  // namespace

QIcon ButtonPicture(const QString& imageKey) {
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    const auto& table = drawings();
    if (const auto found = table.find(imageKey); found != table.end()) {
        found->second(painter);
    } else {
        letterPlate(painter, imageKey);
    }
    return QIcon(pixmap);
}

}  // namespace kestrova
