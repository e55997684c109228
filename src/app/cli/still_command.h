#pragma once

#include <QStringList>

namespace kestrova::cli {

// still --source S --out FILE [--quality N] [--insert FILE.iif] [--size WxH]
int RunStill(const QStringList& arguments);

}  // namespace kestrova::cli
