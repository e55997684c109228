#pragma once
// A capture-window driver without its window: one of the media engine's video devices opened
// synchronously, with the capture records, movies (a sequence) and single-frame movies. The capture
// window shows its picture; the command line records through it without a display.

#include "core/capture_records.h"
#include "media/devices.h"

#include <QEventLoop>
#include <QImage>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

namespace kestrova {

namespace media {
class MediaSession;
class Recorder;
struct RecorderStatistics;
}  // namespace media

// Status ids the callback receives.
inline constexpr int IDS_CAP_BEGIN = 300;
inline constexpr int IDS_CAP_END = 301;
inline constexpr int IDS_CAP_STAT_CAP_INIT = 502;
inline constexpr int IDS_CAP_STAT_VIDEOCURRENT = 510;
inline constexpr int IDS_CAP_STAT_VIDEOAUDIO = 511;
inline constexpr int IDS_CAP_STAT_VIDEOONLY = 512;
inline constexpr int IDS_CAP_STAT_FRAMESDROPPED = 513;

using CapStatusCallback = std::function<bool(quintptr window, int id, const QString& text)>;

// 1 000 000 / fps rounded, ties to even; 0 for 0.
unsigned FrameInterval(double framesPerSecond);
// The movie frame rate a driver's interval shows: 1 000 000 / interval rounded, 12 below 2.
int FramesPerSecondOfInterval(unsigned microSeconds);
// The preview interval in ms: 1000 / fps rounded, 0 below 1.
int PreviewInterval(int framesPerSecond);

// The drivers as the engine lists them: read once, again on refresh.
const std::vector<media::VideoDevice>& CaptureDrivers(bool refresh = false);

class CaptureDriver final : public QObject {
    Q_OBJECT
public:
    explicit CaptureDriver(quintptr handle = 0);
    ~CaptureDriver() override;

    bool connectDriver(int index);
    void disconnectDriver();
    bool connected() const { return session_ != nullptr; }
    const media::VideoDevice& device() const { return device_; }
    media::MediaSession* session() const { return session_.get(); }
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
    bool live = false;
    bool overlay = false;
    bool scale = false;
    QImage currentFrame() const;

    // A sequence ends at the time limit, the index size, a stop or a write failure; its file is
    // finished off this thread and the status callback hears IDS_CAP_END once it is whole. With
    // fYield 0 startSequence returns only then (or when the application quits), and while it waits
    // only `exclusiveWindow` and `stopButton` (with their children), this driver and its timers get
    // input and timer events: the one thing that can run meanwhile is a stop. A new movie cannot
    // start before the last one is whole.
    bool startSequence(QObject* exclusiveWindow = nullptr, QObject* stopButton = nullptr);
    void stopSequence();
    bool capturing() const;
    bool openSingleFrame();
    bool captureSingleFrame();
    void closeSingleFrame();

signals:
    void frameAvailable();

private:
    bool open(const media::SourceSettings& settings);
    void report(int id, const QString& text);
    void endSequence(const QString& reason);
    void sequenceFinished(const QString& why, bool singleFrame, const media::RecorderStatistics& done);
    void progressTick();
    bool startRecorder(double fps, bool frameByFrame);

    quintptr handle_;
    media::VideoDevice device_;
    int driver_ = -1;
    int formatRow_ = -1;
    int input_ = -1;
    std::unique_ptr<media::MediaSession> session_;
    std::unique_ptr<media::Recorder> recorder_;
    bool singleFrame_ = false;
    int finishing_ = 0;  // movies handed over to be finished, not yet whole
    QEventLoop* exclusiveLoop_ = nullptr;
    QTimer progress_;
    std::int64_t framesAtEnd_ = 0;
    std::int64_t droppedAtEnd_ = 0;
    std::int64_t elapsedAtEnd_ = 0;
    std::uint64_t sequence_ = 0;
};

}  // namespace kestrova
