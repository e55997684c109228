#pragma once
// kestrova-cli extract --in FILE.avi --out NAME.bmp|NAME.jpg [--quality N]: every frame of a movie as
// NAME_Frame_000000.bmp, NAME_Frame_000001.bmp, ...

#include <QStringList>

namespace kestrova::cli {

int RunExtractCommand(const QStringList& arguments);

}  // namespace kestrova::cli
