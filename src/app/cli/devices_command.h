#pragma once

#include <QStringList>

namespace kestrova::cli {

// kestrova-cli devices: one line per source, kind, index and name separated by tabs; video devices
// (opened as wdm:N) first with Test Pattern last, then the audio inputs with Test Tone last.
int RunDevices(const QStringList& arguments);

}  // namespace kestrova::cli
