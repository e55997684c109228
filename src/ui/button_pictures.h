#pragma once

#include <QIcon>
#include <QString>

namespace kestrova {

// The drawn picture of a button by its image key ("record", "stop", "pause", "movie", "open", ...);
// any other key gets its first letter on a plate.
QIcon ButtonPicture(const QString& imageKey);

}  // namespace kestrova
