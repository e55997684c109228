#pragma once
// Plays a short sound file and waits until it has played.

#include <QString>

namespace kestrova {

// Plays the WAV file and lets window events run until it has ended or deadlineMs have passed.
// Nothing is played (and false answered) for a missing file or without an audio output.
bool PlaySoundAndWait(const QString& path, int deadlineMs = 3000);

}  // namespace kestrova
