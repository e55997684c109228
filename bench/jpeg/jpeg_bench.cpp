// Times the JPEG encoder of WriteJpegFile on a picture already in memory (encode only) at quality 90.
// Prints "name milliseconds" lines for bench/jpeg/run.
#include "../bench_timing.h"
#include "imaging/dib.h"
#include "platform/jpeg_encoder.h"

#include <QString>

#include <cstdio>

using namespace kestrova;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kestrova-bench-jpeg PICTURE.bmp\n");
        return 1;
    }
    cDib file, picture;
    if (!file.CreateFromFile(QString::fromLocal8Bit(argv[1])) || !ToTrueColour(file, picture)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    long long size = 0;
    const double ms = medianMilliseconds(31, [&] { size = EncodeJpeg(picture.view(), 90).size(); });
    std::printf("picture %dx%d\nencode %.3f\nbytes %lld\n", picture.Width(), picture.Height(), ms, size);
    return 0;
}
