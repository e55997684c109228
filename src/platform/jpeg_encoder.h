#pragma once
// JPEG encoding through libjpeg-turbo's TurboJPEG API, straight from a picture's own bytes (blue,
// green, red, rows bottom-up or top-down, padded rows): no copy of the picture.

#include "core/text_files.h"
#include "platform/picture_view.h"

#include <QByteArray>
#include <QString>

namespace kestrova {

struct JpegResult {
    enum Status { Ok, InitFailed, WriteFailed } status = Ok;
    int code = 0;  // the library's return code for InitFailed
    QString reason;  // the system's reason for WriteFailed
};

// quality is clamped to 1..100. Empty on failure (and result says why).
QByteArray EncodeJpeg(const PictureView& picture, int quality, JpegResult* result = nullptr);
// Encodes and writes the file whole (a failed write leaves any old file as it was).
JpegResult EncodeJpegFile(const PictureView& picture, const QString& fileName, int quality,
                          Durability durability = Durability::Synced);

}  // namespace kestrova
