#include "picture_writer.h"

#include "core/text_files.h"
#include "platform/bitmap_headers.h"
#include "platform/jpeg_encoder.h"

#include <Magick++.h>

#include <QFileInfo>
#include <QImageReader>

#include <cstring>
#include <mutex>

namespace kestrova {

namespace {

int normalDepth(int bitDepth) {
    return bitDepth == 1 || bitDepth == 8 || bitDepth == 32 ? bitDepth : 24;
}

QImage imageOf(const PictureView& picture) {
    QImage image(picture.width, picture.height, QImage::Format_BGR888);
    for (int y = 0; y < picture.height; ++y) {
        std::memcpy(image.scanLine(y), picture.row(y), size_t(picture.width) * 3);
    }
    return image;
}

void initializeMagick() {
    static std::once_flag once;
    std::call_once(once, [] { Magick::InitializeMagick(nullptr); });
}

const char* magickFormat(const QString& suffix) {
    if (suffix == u"jp2") return "JP2";
    if (suffix == u"gif") return "GIF";
    if (suffix == u"tif" || suffix == u"tiff") return "TIFF";
    if (suffix == u"png") return "PNG";
    if (suffix == u"pcx") return "PCX";
    if (suffix == u"tga") return "TGA";
    return nullptr;
}

QByteArray magickBytes(const PictureView& picture, const char* format, int quality, int bitDepth) {
    initializeMagick();
    std::vector<unsigned char> packed(size_t(picture.width) * 3 * size_t(picture.height));
    for (int y = 0; y < picture.height; ++y) {
        std::memcpy(packed.data() + size_t(y) * picture.width * 3, picture.row(y), size_t(picture.width) * 3);
    }
    try {
        Magick::Image image(size_t(picture.width), size_t(picture.height), "BGR", Magick::CharPixel, packed.data());
        image.magick(format);
        image.quality(size_t(std::clamp(quality, 1, 100)));
        switch (bitDepth) {
        case 1: image.type(Magick::BilevelType); break;
        case 8: image.type(Magick::PaletteType); break;
        case 32:
            image.matte(true);
            image.type(Magick::TrueColorMatteType);
            break;
        default: image.type(Magick::TrueColorType); break;
        }
        Magick::Blob blob;
        image.write(&blob);
        return QByteArray(static_cast<const char*>(blob.data()), qsizetype(blob.length()));
    } catch (const Magick::Warning&) {
        return {};
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace


QByteArray BitmapFileBytes(const PictureView& picture, int bitDepth) {
    if (!picture.isValid()) return {};
    bitDepth = normalDepth(bitDepth);
    QImage indexed;
    QList<QRgb> colours;
    if (bitDepth == 1 || bitDepth == 8) {
        indexed = ConvertColourDepth(imageOf(picture), bitDepth);
        colours = indexed.colorTable();
    }
    const long long rowBytes = ((static_cast<long long>(picture.width) * bitDepth + 31) / 32) * 4;
    const long long imageSize = rowBytes * picture.height;
    const long long offBits = FileHeaderSize + InfoHeaderSize + 4LL * colours.size();
    if (offBits + imageSize > (1LL << 31)) return {};
    QByteArray bytes(qsizetype(offBits + imageSize), '\0');
    auto* out = reinterpret_cast<unsigned char*>(bytes.data());
    WriteFileHeader(BitmapFileHeader{BitmapMagic, std::uint32_t(offBits + imageSize), 0, 0, std::uint32_t(offBits)},
                    out);
    WriteInfoHeader(BitmapInfoHeader{InfoHeaderSize, picture.width, picture.height, 1, std::uint16_t(bitDepth), 0,
                                     std::uint32_t(imageSize), 2835, 2835, std::uint32_t(colours.size()), 0},
                    out + FileHeaderSize);
    unsigned char* table = out + FileHeaderSize + InfoHeaderSize;
    for (QRgb colour : colours) {
        *table++ = static_cast<unsigned char>(qBlue(colour));
        *table++ = static_cast<unsigned char>(qGreen(colour));
        *table++ = static_cast<unsigned char>(qRed(colour));
        *table++ = 0;
    }
    for (int y = 0; y < picture.height; ++y) {
        unsigned char* row = out + offBits + rowBytes * (picture.height - 1 - y);
        if (!indexed.isNull()) {
            std::memcpy(row, indexed.constScanLine(y), size_t(std::min<long long>(rowBytes, indexed.bytesPerLine())));
        } else if (bitDepth == 24) {
            std::memcpy(row, picture.row(y), size_t(picture.width) * 3);
        } else {
            const unsigned char* in = picture.row(y);
            for (int x = 0; x < picture.width; ++x, in += 3, row += 4) {
                row[0] = in[0];
                row[1] = in[1];
                row[2] = in[2];
                row[3] = 255;
            }
        }
    }
    return bytes;
}

bool WritePicture(const PictureView& picture, const QString& fileName, int quality, int bitDepth, QString* why) {
    if (!picture.isValid()) return false;
    bitDepth = normalDepth(bitDepth);
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == u"jpg" || suffix == u"jpeg") {
        const JpegResult result = EncodeJpegFile(picture, fileName, quality);
        if (why) *why = result.reason;
        return result.status == JpegResult::Ok;
    }
    QByteArray bytes;
    if (const char* format = magickFormat(suffix)) {
        bytes = magickBytes(picture, format, quality, bitDepth);
    } else {
        // bmp, dib and every unknown extension: a plain bitmap, 24 bits for the unknown ones.
        bytes = BitmapFileBytes(picture, suffix == u"bmp" || suffix == u"dib" ? bitDepth : 24);
    }
    return !bytes.isEmpty() && WriteFileAtomically(fileName, bytes, false, why);
}

QImage ConvertColourDepth(const QImage& picture, int bitDepth) {
    switch (normalDepth(bitDepth)) {
    case 1: return picture.convertToFormat(QImage::Format_Mono, Qt::MonoOnly | Qt::ThresholdDither);
    case 8: return picture.convertToFormat(QImage::Format_Indexed8, Qt::DiffuseDither);
    case 32: return picture.convertToFormat(QImage::Format_ARGB32);
    default: return picture.convertToFormat(QImage::Format_RGB888);
    }
}

QImage ReadPicture(const QString& fileName) {
    QImageReader reader(fileName);
    QImage image = reader.read();
    if (!image.isNull()) return image;
    initializeMagick();
    try {
        Magick::Image magick;
        magick.read(fileName.toStdString());
        QImage bgr(int(magick.columns()), int(magick.rows()), QImage::Format_BGR888);
        for (int y = 0; y < bgr.height(); ++y) {
            magick.write(0, y, size_t(bgr.width()), 1, "BGR", Magick::CharPixel, bgr.scanLine(y));
        }
        return bgr;
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace kestrova
