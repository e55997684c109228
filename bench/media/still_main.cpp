// bench_still SOURCE [COUNT]: COUNT stills (default 1) of a 1280 x 720 source, each opened, its first
// frame grabbed and decoded to BGR, and closed. SOURCE: testpattern, http:URL or wms:URL.
// The caller measures the process's CPU time.

#include "platform/media/devices.h"
#include "platform/media/media_session.h"

#include <QCoreApplication>

#include <cstdio>

using namespace kestrova::media;

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_still testpattern|http:URL|wms:URL [COUNT]\n");
        return 1;
    }
    const QString source = QString::fromLocal8Bit(argv[1]);
    const int count = argc > 2 ? std::atoi(argv[2]) : 1;
    QString error;
    std::optional<SourceSettings> settings = SourceFromName(source, {TestPatternDevice()}, error);
    if (!settings) {
        std::fprintf(stderr, "bench_still: %s\n", error.toUtf8().constData());
        return 1;
    }
    if (settings->kind == QLatin1String(KindTestPattern)) settings->size = QSize(1280, 720);
    for (int i = 0; i < count; ++i) {
        const GrabResult still = GrabFrame(*settings, std::chrono::seconds(10));
        if (!still.frame.isValid()) {
            std::fprintf(stderr, "bench_still: %s\n", still.reason.toUtf8().constData());
            return 2;
        }
        const QImage picture = still.frame.image();
        // The JPEG writer of the picture layer goes here once it is merged: write `picture` through it
        // so that the figure covers the whole still.
        if (i == 0) std::printf("still=%dx%d\n", picture.width(), picture.height());
    }
    return 0;
}
