#pragma once
// Writes pictures in the nine formats of the image editor and converts their colour depth.

#include "platform/image_view.h"

#include <QImage>
#include <QString>

namespace kestrova {

// Writes picture to fileName in the format its extension names: jpg, jp2, bmp, gif, dib, tif, png,
// pcx, tga; any other extension is written as a 24-bit bitmap. bitDepth (1, 8, 24 or 32; anything
// else counts as 24) is kept where the format has it; quality (1..100) is used by jpg and jp2.
// The file is replaced whole (a pipe or device is written straight through); false when it could not
// be written, with the system's reason in `why` when given.
bool WritePicture(const PictureView& picture, const QString& fileName, int quality, int bitDepth = 24, QString* why = nullptr);

// The bytes of a bitmap file with a plain 40-byte header: 24 or 32 bits from the picture itself,
// 1 and 8 bits through a colour table.
QByteArray BitmapFileBytes(const PictureView& picture, int bitDepth = 24);

// The picture at 1 bit (black and white), 8 bits (256 colours), 24 or 32 bits (with alpha).
QImage ConvertColourDepth(const QImage& picture, int bitDepth);

// Reads a picture file of any format the writer writes; a null image when it cannot.
QImage ReadPicture(const QString& fileName);

}  // namespace kestrova
