#pragma once
// Short sounds of the program (the shutter), played while the program goes on.

#include <QString>

namespace kestrova {

// Starts the WAV file playing and returns at once; the player goes by itself once the sound has
// ended, failed, or deadlineMs have passed. Nothing is played (and false answered) for a missing
// file or without an audio output.
bool PlaySound(const QString& path, int deadlineMs = 3000);

}  // namespace kestrova
