// Times each effect on a picture already in memory, and one memory copy of the picture.
// Prints "name milliseconds" lines for bench/effects/run.
#include "../bench_timing.h"
#include "imaging/dib.h"
#include "imaging/effects.h"

#include <QString>

#include <cstdio>
#include <cstring>

using namespace kestrova;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kestrova-bench-effects PICTURE.bmp\n");
        return 1;
    }
    cDib file, source;
    if (!file.CreateFromFile(QString::fromLocal8Bit(argv[1])) || !ToTrueColour(file, source)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    cDib result = source;
    const PictureView in = source.view();
    const PictureBits out = result.bits();
    const size_t bytes = size_t(in.stride) * size_t(in.height);
    std::printf("picture %dx%d\n", in.width, in.height);
    std::printf("memcpy %.3f\n", medianMilliseconds(51, [&] {
                    std::memcpy(out.bits, in.bits, bytes);
                    asm volatile("" ::: "memory");
                }));
    EffectOptions options;
    options.progress = [](const QString&) {};
    options.seeded = true;
    for (const Effect& effect : Effects()) {
        std::printf("%s %.3f\n", effect.key, medianMilliseconds(15, [&] { effect.run(in, out, options); }));
    }
    return 0;
}
