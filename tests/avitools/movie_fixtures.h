#pragma once
// Movies for the AVI tools' tests, written by the program's own recorder.

#include <QSize>
#include <QString>

namespace kestrova::test {

// A frame-by-frame movie of `frames` Test Pattern pictures (frame n shows counter n). Empty on
// success, else the recorder's reason.
QString MakePatternMovie(const QString& path, int frames, QSize size = QSize(160, 120), const QString& codec = QStringLiteral("mjpeg"),
                         double fps = 10);

}  // namespace kestrova::test
