#include "keyed.h"

#include <QAction>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QToolBar>
#include <QVariant>

namespace kestrova {

namespace {
const char* const KeyProperty = "kestrovaKey";
const char* const ImageKeyProperty = "kestrovaImageKey";
}  // namespace

void SetKey(QObject* object, const QString& key) { object->setProperty(KeyProperty, key); }

QString KeyOf(const QObject* object) { return object->property(KeyProperty).toString(); }

QObject* FindKeyedObject(const QObject* parent, const QString& key) {
    if (parent == nullptr) return nullptr;
    for (QObject* child : parent->children()) {
        if (KeyOf(child) == key) return child;
    }
    return nullptr;
}

QAction* AddKeyedButton(QToolBar* bar, const QString& key, const QString& caption, const QString& tooltip) {
    auto* button = new QAction(caption, bar);
    SetKey(button, key);
    button->setObjectName(key);
    if (!tooltip.isEmpty()) button->setToolTip(tooltip);
    bar->addAction(button);
    return button;
}

void SetImageKey(QAction* button, const QString& imageKey) {
    button->setProperty(ImageKeyProperty, imageKey);
    button->setIcon(ButtonPicture(imageKey));
}

QString ImageKey(const QAction* button) { return button->property(ImageKeyProperty).toString(); }

QIcon ButtonPicture(const QString& imageKey) {
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    if (imageKey == QLatin1String("record")) {
        painter.setBrush(QColor(220, 0, 0));
        painter.drawEllipse(QRectF(3, 3, 18, 18));
    } else if (imageKey == QLatin1String("stop")) {
        painter.setBrush(QColor(40, 40, 40));
        painter.drawRect(QRectF(5, 5, 14, 14));
    } else if (imageKey == QLatin1String("pause")) {
        // A still camera: body and lens.
        painter.setBrush(QColor(90, 90, 110));
        painter.drawRoundedRect(QRectF(2, 7, 20, 13), 2, 2);
        painter.drawRect(QRectF(7, 4, 8, 4));
        painter.setBrush(QColor(200, 220, 255));
        painter.drawEllipse(QRectF(8, 9, 9, 9));
    } else {
        // Any other button: its key's first letter on a plate, so the buttons tell apart.
        painter.setBrush(QColor(160, 170, 190));
        painter.drawRoundedRect(QRectF(2, 2, 20, 20), 3, 3);
        QFont font = painter.font();
        font.setBold(true);
        font.setPixelSize(14);
        painter.setFont(font);
        painter.drawText(QRectF(2, 2, 20, 20), Qt::AlignCenter, imageKey.left(1).toUpper());
    }
    return QIcon(pixmap);
}

}  // namespace kestrova
