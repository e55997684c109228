#include "sound.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QThread>
#include <QUrl>

namespace kestrova {

bool PlaySoundAndWait(const QString& path, int deadlineMs) {
    if (!QFileInfo::exists(path) || QMediaDevices::audioOutputs().isEmpty()) return false;
    QSoundEffect effect;
    effect.setSource(QUrl::fromLocalFile(path));
    const QDeadlineTimer deadline(deadlineMs);
    bool started = false;
    bool playing = false;  // the sound starts a little after play()
    while (!deadline.hasExpired()) {
        if (effect.status() == QSoundEffect::Error) return false;
        if (!started && effect.status() == QSoundEffect::Ready) {
            effect.play();
            started = true;
        }
        if (effect.isPlaying()) playing = true;
        if (playing && !effect.isPlaying()) return true;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    return started;
}

}  // namespace kestrova
