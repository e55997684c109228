#pragma once
// kestrova-cli export-dv --in FILE.avi --out FILE.dv: a movie as a DV stream file.

#include <QStringList>

namespace kestrova::cli {

int RunExportDvCommand(const QStringList& arguments);

}  // namespace kestrova::cli
