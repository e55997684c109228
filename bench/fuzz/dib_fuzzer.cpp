// libFuzzer target: cDib::CreateFromFile on arbitrary bytes, then the conversion to 24 bits that the
// command line applies. A read file must hold every byte its headers promise, so every accessor is
// walked to let the sanitizers see a lie.
#include "imaging/dib.h"

#include <QFile>
#include <QString>

#include <unistd.h>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const QString path = QStringLiteral("/dev/shm/kestrova-dib-fuzz-%1.bmp").arg(getpid());
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    kestrova::cDib dib;
    if (!dib.CreateFromFile(path)) return 0;
    unsigned sum = 0;
    const unsigned char* bits = dib.PointerToBits();
    for (int i = 0; i < dib.SizeImage(); ++i) sum += bits[i];
    const unsigned char* info = dib.PointerToBitmapInfo();
    for (int i = 0; i < dib.SizeBitmapInfo(); ++i) sum += info[i];
    const kestrova::PictureView view = dib.view();
    if (view.isValid()) {
        for (int y = 0; y < view.height; ++y) sum += view.row(y)[3 * view.width - 1];
    }
    kestrova::cDib trueColour;
    if (kestrova::ToTrueColour(dib, trueColour)) {
        const kestrova::PictureView converted = trueColour.view();
        for (int y = 0; y < converted.height; ++y) sum += converted.row(y)[3 * converted.width - 1];
    }
    return sum == 0xFFFFFFFFu ? 1 : 0;
}
