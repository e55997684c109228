#pragma once
// kestrova-cli avi-info FILE.avi [--info KEY=TEXT]...: prints a movie's information texts, or
// appends a list of new ones.

#include <QStringList>

namespace kestrova::cli {

int RunAviInfoCommand(const QStringList& arguments);

}  // namespace kestrova::cli
