#pragma once
// The capture window of a "vfw" source: a child widget that shows a driver's live picture and
// records it, reached through the cap* procedures on its handle. The drivers are the media engine's
// video devices (the V4L2 cameras, then Test Pattern). A handle of a destroyed window is refused, not
// followed. Everything runs on the UI thread; the status callback is called there too.

#include "core/capture_records.h"
#include "media/devices.h"

#include <QImage>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

namespace kestrova {

namespace media {
class MediaSession;
class Recorder;
}  // namespace media

// Status ids the callback receives.
inline constexpr int IDS_CAP_BEGIN = 300;
inline constexpr int IDS_CAP_END = 301;
inline constexpr int IDS_CAP_STAT_CAP_INIT = 502;
inline constexpr int IDS_CAP_STAT_CAP_FINI = 503;
inline constexpr int IDS_CAP_STAT_VIDEOCURRENT = 510;
inline constexpr int IDS_CAP_STAT_VIDEOAUDIO = 511;
inline constexpr int IDS_CAP_STAT_VIDEOONLY = 512;
inline constexpr int IDS_CAP_STAT_FRAMESDROPPED = 513;

using CapStatusCallback = std::function<bool(quintptr window, int id, const QString& text)>;

class CaptureWindow final : public QWidget {
    Q_OBJECT
public:
    CaptureWindow(const QString& name, QWidget* parent);
    ~CaptureWindow() override;

    quintptr handle() const { return handle_; }
    // The window of a handle, or nullptr when it is gone.
    static CaptureWindow* find(quintptr handle);

    bool connectDriver(int index);
    void disconnectDriver();
    bool connected() const { return session_ != nullptr; }
    const media::VideoDevice& device() const { return device_; }
    // Reopens the driver at a picture size and rate (empty size, 0 rate: the device's own).
    bool selectFormat(QSize size, double fps);
    int formatRow() const { return formatRow_; }
    int input() const { return input_; }
    bool selectInput(int input);

    CAPDRIVERCAPS caps() const;
    CAPSTATUS status() const;
    CAPTUREPARMS parms;
    WAVEFORMATEX waveFormat;
    QString captureFile;
    int compressor = 0;  // index in the engine's video compressors
    CapStatusCallback statusCallback;

    void setPreview(bool on, int intervalMs);
    void setOverlay(bool on);
    void setScale(bool on);
    QImage currentFrame() const;

    // Movies: a sequence ends at the time limit, the index size, a stop, a click when the
    // parameters say so, or a write failure; the status callback hears IDS_CAP_END then.
    bool startSequence();
    void stopSequence();
    bool capturing() const;
    bool openSingleFrame();
    bool captureSingleFrame();
    void closeSingleFrame();

signals:
    void mousePressed(Qt::MouseButton button);
    void mouseReleased(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool open(const media::SourceSettings& settings);
    void report(int id, const QString& text);
    void endSequence(const QString& reason);
    void progressTick();
    bool startRecorder(double fps, bool frameByFrame);

    quintptr handle_ = 0;
    media::VideoDevice device_;
    int driver_ = -1;
    int formatRow_ = -1;
    int input_ = -1;
    std::unique_ptr<media::MediaSession> session_;
    std::unique_ptr<media::Recorder> recorder_;
    bool singleFrame_ = false;
    bool live_ = false;
    bool overlay_ = false;
    bool scale_ = false;
    int previewInterval_ = 66;
    QTimer repaint_;
    QTimer progress_;
    QImage shown_;
    std::int64_t shownNumber_ = -1;
    std::int64_t framesAtEnd_ = 0;
    std::int64_t droppedAtEnd_ = 0;
    std::int64_t elapsedAtEnd_ = 0;
    std::uint64_t sequence_ = 0;
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
// picture and clicks, and the engine's own hand-overs, are processed.
bool capCaptureSequence(quintptr window);
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

// 1 000 000 / fps rounded, ties to even; 0 for 0.
unsigned FrameInterval(double framesPerSecond);
// The movie frame rate a driver's interval shows: 1 000 000 / interval rounded, 12 below 2.
int FramesPerSecondOfInterval(unsigned microSeconds);
// The preview interval in ms: 1000 / fps rounded, 0 below 1.
int PreviewInterval(int framesPerSecond);

}  // namespace kestrova
