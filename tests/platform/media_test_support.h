#pragma once
// Waiting for an engine's signals in a test: the event loop runs while the condition is false.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <functional>

namespace kestrova::test {

inline bool WaitUntil(const std::function<bool()>& condition, int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > milliseconds) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

// Blue, green and red of a pixel, for comparing with a tolerance (JPEG and MPEG move colours a little).
inline bool NearColour(const unsigned char* bgr, int blue, int green, int red, int tolerance = 12) {
    return std::abs(bgr[0] - blue) <= tolerance && std::abs(bgr[1] - green) <= tolerance && std::abs(bgr[2] - red) <= tolerance;
}

}  // namespace kestrova::test
