#pragma once

#include <QStringList>

namespace kestrova::cli {

// kestrova-cli record --source S --out FILE.avi [--fps R] [--seconds N] [--size WxH] [--audio] [--codec NAME]
int RunRecordCommand(const QStringList& arguments);
// The options as the help lists them, with the codec names.
const char* RecordUsage();

}  // namespace kestrova::cli
