// bench_vfw_capture MODE SECONDS OUT.avi: a movie of Test Pattern at 1280 x 720 and 30 fps for SECONDS,
// previewed at 30 fps on the offscreen platform, through the capture control (MODE "control") or the
// capture window (MODE "vfw" in the background, "vfw-exclusive" as an exclusive task). Prints
// "frames=N dropped=N"; the caller measures the process's CPU time.

#include "platform/capture_control.h"
#include "platform/capture_window.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

using namespace kestrova;

namespace {

int TestPatternIndex() { return int(media::VideoDevices().size()) - 1; }

int FormatRow(const media::VideoDevice& device) {
    for (size_t row = 0; row < device.formats.size(); ++row) {
        if (device.formats[row].width == 1280 && device.formats[row].height == 720) return int(row);
    }
    return -1;
}

int ThroughControl(int seconds, const QString& out) {
    CaptureControl control;
    control.resize(1280, 720);
    control.show();
    control.setVideoDeviceIndex(TestPatternIndex());
    control.SelectVideoFormat(FormatRow(media::TestPatternDevice()));
    control.setPreviewFrameRate(30);
    QObject::connect(&control, &CaptureControl::opened, [&] {
        control.setPreviewOn(true);
        control.setCaptureFile(out);
        control.setTimeLimitEnabled(true);
        control.setTimeLimit(seconds);
        if (!control.StartCapture()) QCoreApplication::exit(2);
    });
    QObject::connect(&control, &CaptureControl::openFailed, [] { QCoreApplication::exit(2); });
    QObject::connect(&control, &CaptureControl::captureEnded, [] { QCoreApplication::exit(0); });
    control.setConnected(true);
    const int status = QCoreApplication::exec();
    qint64 ms = 0, frames = 0, dropped = 0, bytes = 0, samples = 0;
    double rate = 0;
    control.CaptureStatistics(ms, frames, dropped, bytes, samples, rate);
    std::printf("frames=%lld dropped=%lld\n", frames, dropped);
    return status;
}

int ThroughWindow(int seconds, const QString& out, bool exclusive) {
    QWidget parent;
    parent.resize(1280, 720);
    parent.show();
    const quintptr window = capCreateCaptureWindow(QStringLiteral("VIDEO WINDOW"), &parent, 0, 0, 160, 120);
    if (!capDriverConnect(window, TestPatternIndex())) return 2;
    CaptureWindow::find(window)->driver().selectFormat(QSize(1280, 720), 30);
    capPreview(window, 30);
    capSetWindowPos(window, 0, 0, 0, 0);
    CAPTUREPARMS parms;
    capCaptureGetSetup(window, parms);
    parms.dwRequestMicroSecPerFrame = FrameInterval(30);
    parms.fYield = exclusive ? 0 : 1;
    parms.fLimitEnabled = 1;
    parms.wTimeLimit = unsigned(seconds);
    capCaptureSetSetup(window, parms);
    capFileSetCaptureFile(window, out);
    bool ended = false;
    capSetCallbackOnStatus(window, [&](quintptr, int id, const QString&) {
        if (id == IDS_CAP_END) {
            ended = true;
            QCoreApplication::exit(0);
        }
        return true;
    });
    if (!capCaptureSequence(window)) return 2;
    if (!ended) QCoreApplication::exec();
    CAPSTATUS status;
    capGetStatus(window, status);
    std::printf("frames=%u dropped=%u\n", status.dwCurrentVideoFrame, status.dwCurrentVideoFramesDropped);
    capDriverDisconnect(window);
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: bench_vfw_capture control|vfw|vfw-exclusive SECONDS OUT.avi\n");
        return 1;
    }
    const QString mode = QString::fromLatin1(argv[1]);
    const int seconds = QString::fromLatin1(argv[2]).toInt();
    const QString out = QString::fromLocal8Bit(argv[3]);
    if (mode == QLatin1String("control")) return ThroughControl(seconds, out);
    return ThroughWindow(seconds, out, mode == QLatin1String("vfw-exclusive"));
}
