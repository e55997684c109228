#include "sound.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

namespace kestrova {

bool PlaySound(const QString& path, int deadlineMs) {
    if (!QFileInfo::exists(path) || QMediaDevices::audioOutputs().isEmpty()) return false;
    auto* effect = new QSoundEffect(QCoreApplication::instance());
    QObject::connect(effect, &QSoundEffect::statusChanged, effect, [effect] {
        if (effect->status() == QSoundEffect::Ready) effect->play();
        if (effect->status() == QSoundEffect::Error) effect->deleteLater();
    });
    QObject::connect(effect, &QSoundEffect::playingChanged, effect, [effect] {
        if (!effect->isPlaying()) effect->deleteLater();
    });
    QTimer::singleShot(deadlineMs, effect, &QObject::deleteLater);
    effect->setSource(QUrl::fromLocalFile(path));
    return true;
}

}  // namespace kestrova
