#pragma once

#include <QStringList>

namespace kestrova::cli {

// webshare --source S [--port N] [--quality N] [--seconds N]
int RunWebShare(const QStringList& arguments);

}  // namespace kestrova::cli
