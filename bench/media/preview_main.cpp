// bench_preview SOURCE SECONDS [WIDTHxHEIGHT]: the live picture of SOURCE (an http: or wms: URL) in a
// real capture control on the offscreen platform, previewing at 30 frames a second for SECONDS.
// Prints the frames painted; the caller measures the process's CPU time.

#include "platform/capture_control.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

#include <cstdio>

namespace {
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};
}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_preview http:URL|wms:URL SECONDS [WIDTHxHEIGHT]\n");
        return 1;
    }
    const QString source = QString::fromLocal8Bit(argv[1]);
    const int seconds = QString::fromLatin1(argv[2]).toInt();
    const QStringList size = QString::fromLatin1(argc > 3 ? argv[3] : "640x360").split(u'x');

    kestrova::CaptureControl control;
    PaintCounter counter;
    control.installEventFilter(&counter);
    control.resize(size.value(0).toInt(), size.value(1).toInt());
    control.setPreviewFrameRate(30);
    control.setPreviewOn(true);
    control.show();
    QObject::connect(&control, &kestrova::CaptureControl::openFailed, [](const QString& reason) {
        std::fprintf(stderr, "bench_preview: %s\n", reason.toUtf8().constData());
        QCoreApplication::exit(2);
    });
    if (source.startsWith(QLatin1String("http:"))) {
        control.setVideoDeviceIndex(kestrova::CaptureControl::NetworkCameraIndex);
        control.setCameraUrl(source.mid(5));
        control.setConnected(true);
    } else {
        control.OpenStream(source.mid(4));
    }
    QTimer::singleShot(seconds * 1000, &application, &QCoreApplication::quit);
    const int status = application.exec();
    std::printf("painted=%d\n", counter.paints);
    return status;
}
