#include "keyed.h"
#include "button_pictures.h"

#include <QAction>
#include <QIcon>
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

}  // namespace kestrova
