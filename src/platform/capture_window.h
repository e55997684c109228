#pragma once
// The capture window of a capture-window driver: a child widget that shows a driver's live picture and
// records it, reached through the cap* procedures on its handle. The drivers are the media engine's
// video devices (the V4L2 cameras, then Test Pattern). A handle of a destroyed window is refused, not
// followed. Everything runs on the UI thread; the status callback is called there too.

#include "capture_driver.h"

#include <QTimer>
#include <QWidget>

#include <functional>

namespace kestrova {

class CaptureWindow final : public QWidget {
    Q_OBJECT
public:
    CaptureWindow(const QString& name, QWidget* parent);
    ~CaptureWindow() override;

    quintptr handle() const { return handle_; }
    // The window of a handle, or nullptr when it is gone.
    static CaptureWindow* find(quintptr handle);

    CaptureDriver& driver() { return *driver_; }
    void setPreview(bool on, int intervalMs);
    void setOverlay(bool on);
    void setScale(bool on);

signals:
    // Clicks that do not end a capture.
    void mousePressed(Qt::MouseButton button);
    void mouseReleased(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    quintptr handle_ = 0;
    std::unique_ptr<CaptureDriver> driver_;
    int previewInterval_ = 66;
    QTimer repaint_;
    QImage shown_;
    std::int64_t shownNumber_ = -1;
};

// How the drivers are described; tests install their own list (an empty function restores the
// engine's devices). Answers false for an index without a driver.
using CapDriverDescriber = std::function<bool(int index, QString& description, QString& version)>;
void SetCapDriverDescriber(CapDriverDescriber describer);

quintptr capCreateCaptureWindow(const QString& name, QWidget* parent, int x, int y, int width, int height);
bool capDriverConnect(quintptr window, int index);
bool capDriverDisconnect(quintptr window);
bool capDriverGetCaps(quintptr window, CAPDRIVERCAPS& caps);
bool capGetStatus(quintptr window, CAPSTATUS& status);
bool capCaptureGetSetup(quintptr window, CAPTUREPARMS& parms);
bool capCaptureSetSetup(quintptr window, const CAPTUREPARMS& parms);
bool capSetCallbackOnStatus(quintptr window, CapStatusCallback callback);
bool capPreview(quintptr window, int framesPerSecond);
bool capOverlay(quintptr window);
bool capPreviewScale(quintptr window, bool on);
bool capDlgVideoFormat(quintptr window);
bool capDlgVideoSource(quintptr window);
bool capDlgVideoDisplay(quintptr window);
bool capDlgVideoCompression(quintptr window);
bool capFileSetCaptureFile(quintptr window, const QString& name);
QString capFileGetCaptureFile(quintptr window);
bool capFileSaveDIB(quintptr window, const QString& name);
// The program's clipboard for stills is its own slot, never the system's (see StillSlot).
bool capEditCopy(quintptr window, QImage& clipboard);
int capGetAudioFormatSize(quintptr window);
bool capGetAudioFormat(quintptr window, WAVEFORMATEX& format, int size);
bool capSetAudioFormat(quintptr window, const WAVEFORMATEX& format, int size);
// With fYield 0 this returns only when the capture has ended; meanwhile only the capture window's
// picture and clicks, the stop button's clicks and the engine's own hand-overs are processed.
bool capCaptureSequence(quintptr window, QObject* stopButton = nullptr);
bool capCaptureStop(quintptr window);
bool capCaptureSingleFrameOpen(quintptr window);
bool capCaptureSingleFrame(quintptr window);
bool capCaptureSingleFrameClose(quintptr window);
bool capSetWindowPos(quintptr window, int left, int top, int width, int height);

// "Error!" for an index without a driver.
QString capDriverName(int index);
QString capDriverVersion(int index);
int capDriverCount();
bool capDriversPresent();

}  // namespace kestrova
