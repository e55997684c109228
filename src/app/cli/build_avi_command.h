#pragma once
// kestrova-cli build-avi --out FILE.avi [--fps N] [--codec NAME] BITMAP...: a movie of one frame per
// bitmap, in the order given.

#include <QStringList>

namespace kestrova::cli {

const char* BuildAviUsage();
int RunBuildAviCommand(const QStringList& arguments);

}  // namespace kestrova::cli
