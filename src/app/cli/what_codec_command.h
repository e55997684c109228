#pragma once
// kestrova-cli what-codec FILE.avi: the codec a movie needs, by its four-character code and the name
// "codec.vc" gives it.

#include <QStringList>

namespace kestrova::cli {

int RunWhatCodecCommand(const QStringList& arguments);

}  // namespace kestrova::cli
