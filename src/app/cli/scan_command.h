#pragma once
// kestrova-cli scan --list
// kestrova-cli scan --out FILE [--device NAME] [--quality N] [--option NAME=VALUE]...

#include <QStringList>

namespace kestrova::cli {

int RunScanCommand(const QStringList& arguments);

}  // namespace kestrova::cli
