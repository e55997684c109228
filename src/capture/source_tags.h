#pragma once
// The video window's Tag values: the kind of the connected back-end.

#include <QString>

namespace kestrova {

inline const QString KindVfw = QStringLiteral("vfw");
inline const QString KindWdm = QStringLiteral("wdm");
inline const QString KindWms = QStringLiteral("wms");
inline const QString KindHttp = QStringLiteral("http");

}  // namespace kestrova
