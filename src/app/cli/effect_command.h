#pragma once
// kestrova-cli effect NAME IN.bmp OUT.bmp

#include <QStringList>

namespace kestrova::cli {

int RunEffectCommand(const QStringList& arguments);

}  // namespace kestrova::cli
