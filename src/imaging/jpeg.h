#pragma once
// The JPEG module: pictures of the program written as JPEG files.

#include "imaging/dib_section.h"

#include <QImage>
#include <QObject>
#include <QString>

namespace kestrova {

// Carries the status texts of the JPEG writer up to the main window.
class JpegStatus final : public QObject {
    Q_OBJECT
signals:
    void statusText(const QString& text);
};
JpegStatus& JpegStatusSignals();

// Encodes the section's own bytes; on failure shows the reason in a message box and returns false.
bool EncodeDibToJpeg(const cDIBSection& dib, const QString& fileName, int quality);
// Writes picture (what the picture box shows, stamps included) as a JPEG file; on failure also
// reports "Error writing <file>JPEG File." as a status text.
void WriteJpegFile(const QImage& picture, const QString& fileName, int quality);

}  // namespace kestrova
