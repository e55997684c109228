#pragma once
// Controls addressed by a text key: toolbar buttons ("record"), status panels ("filename") and tool
// bands ("movie"). The key lives on the object itself, so a control is found by what it is, never by
// its position.

#include "button_pictures.h"

#include <QObject>
#include <QString>

class QAction;
class QToolBar;

namespace kestrova {

void SetKey(QObject* object, const QString& key);
QString KeyOf(const QObject* object);

// The direct child of parent carrying key; the toolbar's actions are its children, the bands the
// main window's. Null when there is none.
QObject* FindKeyedObject(const QObject* parent, const QString& key);

template <typename T>
T* FindKeyed(const QObject* parent, const QString& key) {
    return qobject_cast<T*>(FindKeyedObject(parent, key));
}

// A keyed button with its caption under the picture.
QAction* AddKeyedButton(QToolBar* bar, const QString& key, const QString& caption, const QString& tooltip);

// The picture a button shows, also its state ("record", "stop", "pause").
void SetImageKey(QAction* button, const QString& imageKey);
QString ImageKey(const QAction* button);

}  // namespace kestrova
