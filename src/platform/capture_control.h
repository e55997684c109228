#pragma once
// The capture control: a thin widget over the media engine for the video window and the movie
// viewer. Members keep the names the callers use; a value of -1 passed to RecordingLevel and -2/-3
// to TunerChannel query instead of set. Opening happens on the engine's thread: Connected, OpenStream
// and PlayStream return at once and the outcome arrives as opened() or openFailed().

#include "capture_overlays.h"
#include "core/capture_records.h"
#include "media/devices.h"
#include "media/media_session.h"
#include "media/recorder.h"

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace kestrova {

// The hardware behind the control: the system's V4L2 devices, or in tests a TV card that cannot
// exist here. Devices are found by their identity; the tuner answers in percent and tunes in Hz.
class VideoHardware {
public:
    virtual ~VideoHardware() = default;
    virtual std::vector<media::VideoDevice> devices() = 0;
    virtual std::optional<int> tunerSignal(const QString& identity) = 0;
    virtual bool setTunerFrequency(const QString& identity, std::int64_t hertz) = 0;
};

std::shared_ptr<VideoHardware> SystemVideoHardware();

class CaptureControl : public QWidget {
    Q_OBJECT
public:
    explicit CaptureControl(QWidget* parent = nullptr);
    ~CaptureControl() override;

    // Where the devices come from; the system's unless a test gives its own. The list is read again.
    void setHardware(std::shared_ptr<VideoHardware> hardware);

    // Device index of the IP camera at CameraUrl.
    static constexpr int NetworkCameraIndex = -2;

    bool Connected() const;
    void setConnected(bool on);
    int VideoDeviceIndex() const { return deviceIndex_; }
    void setVideoDeviceIndex(int index) { deviceIndex_ = index; }
    QString CameraUrl() const { return cameraUrl_; }
    void setCameraUrl(const QString& url) { cameraUrl_ = url; }

    int VideoDeviceCount() const;
    QString VideoDeviceName(int index) const;
    int VideoInputCount() const;
    QString VideoInputName(int index) const;
    int VideoInputIndex() const { return inputIndex_; }
    void setVideoInputIndex(int index);

    std::vector<media::FormatRow> VideoFormats() const;
    bool SelectVideoFormat(int row);

    bool PreviewOn() const { return previewOn_; }
    void setPreviewOn(bool on);
    bool OverlayOn() const { return overlayOn_; }
    void setOverlayOn(bool on);
    bool ScalePreview() const { return scalePreview_; }
    void setScalePreview(bool on);
    int PreviewFrameRate() const { return previewRate_; }
    void setPreviewFrameRate(int rate);

    void QueryVideoSize();
    int VideoWidth() const { return std::max(0, videoSize_.width()); }
    int VideoHeight() const { return std::max(0, videoSize_.height()); }
    // The newest frame without waiting; null before the first.
    QImage CurrentPicture() const;

    // The renderer is always ours; the choice is kept for the callers that set it.
    bool UseVMR9() const { return useVmr9_; }
    void setUseVMR9(bool on) { useVmr9_ = on; }
    int FullScreen() const { return fullScreen_; }
    void setFullScreen(int mode);
    bool FullScreenPreview() const { return fullScreen_ == 1; }
    void setFullScreenPreview(bool on) { setFullScreen(on ? 1 : 0); }

    void TextOverlay(int number, const QString& text, int x, int y, const QString& fontName, int size, const QColor& colour, int option);
    void ImageOverlay(const QImage& picture, int x, int y, const QColor& transparency, int option);

    bool AudioPreview() const { return audioPreview_; }
    void setAudioPreview(bool on) { audioPreview_ = on; }
    int AudioDeviceCount() const;
    QString AudioDeviceName(int index) const;
    int AudioDeviceIndex() const { return audioIndex_; }
    void setAudioDeviceIndex(int index);
    // The sound format a movie of the chosen device gets.
    WAVEFORMATEX RecordedAudioFormat() const;
    int AudioInputCount() const;
    QString AudioInputName(int index) const;
    int AudioInputIndex() const { return audioInputIndex_; }
    void setAudioInputIndex(int index);
    int RecordingLevel(int level = -1);

    bool OpenStream(const QString& url);
    bool PlayStream();
    void StopStream();
    void CloseStream();

    // 1 for a device with a tuner, 0 otherwise (no DV devices exist here). The channel numbers and
    // their limits (TunerChannel -2 and -3) follow the channel plan of the country and the input
    // (1 cable, 2 antenna); a channel the plan lacks is not tuned. TunerSignal is 1 when the tuned
    // channel carries a picture (the tuner reports at least half its strength), else 0.
    int DeviceKind() const;
    int TunerInput() const { return tunerInput_; }
    void setTunerInput(int input) { tunerInput_ = input; }
    int TunerCountry() const { return tunerCountry_; }
    void setTunerCountry(int country) { tunerCountry_ = country; }
    int TunerChannel(int query = 0) const;
    bool setTunerChannel(int channel);
    int TunerSignal() const;

    // The DV members answer as for a machine without a DV device.
    int DVTransport(int command);
    QString DVTimecode() const { return {}; }
    QString DVRecordingDate() const { return {}; }

    // Movies of the open source. StartCapture answers false (and nothing starts, nor ends) without
    // a source, while the last movie is still being finished, or when the file cannot be made. A
    // started movie is finished off this thread after StopCapture, the time limit, a write failure or
    // the loss of its source; captureEnded arrives once the file is whole, with an empty reason for a
    // normal end (StopCapture, the time limit).
    QString CaptureFile() const { return captureFile_; }
    void setCaptureFile(const QString& path) { captureFile_ = path; }
    bool CaptureAudio() const { return captureAudio_; }
    void setCaptureAudio(bool on) { captureAudio_ = on; }
    bool TimeLimitEnabled() const { return timeLimitEnabled_; }
    void setTimeLimitEnabled(bool on) { timeLimitEnabled_ = on; }
    int TimeLimit() const { return timeLimit_; }
    void setTimeLimit(int seconds) { timeLimit_ = seconds; }
    // Frames per second of the movies StartCapture makes; 0 (the default): the source's own rate.
    double CaptureFrameRate() const { return captureFrameRate_; }
    void setCaptureFrameRate(double fps) { captureFrameRate_ = fps > 0 ? fps : 0; }
    bool StartCapture();
    // Why the last StartCapture or OpenFrameCapture answered false.
    QString CaptureError() const { return captureError_; }
    void StopCapture();
    bool Capturing() const;
    // Of the running movie, or the last one: elapsed milliseconds, frames in the file, dropped
    // frames, bytes written, audio samples written, frame rate.
    void CaptureStatistics(qint64& elapsedMs, qint64& frames, qint64& dropped, qint64& bytes, qint64& audioSamples,
                           double& frameRate) const;

    // A movie built one frame of the live picture per CaptureFrame call, at `fps` when played.
    bool OpenFrameCapture(double fps);
    bool CaptureFrame();
    void CloseFrameCapture();

    int VideoCompressorCount() const;
    QString VideoCompressorName(int index) const;
    int VideoCompressorIndex() const { return videoCompressor_; }
    void setVideoCompressorIndex(int index);
    int AudioCompressorCount() const;
    QString AudioCompressorName(int index) const;
    int AudioCompressorIndex() const { return audioCompressor_; }
    void setAudioCompressorIndex(int index);

    // The open source, for the recorder and the still; nullptr when nothing is connected.
    media::MediaSession* session() const { return session_.get(); }

signals:
    void opened();
    void openFailed(const QString& reason);
    void sourceLost(const QString& reason);
    void mouseButtonPressed(int button);
    void captureStarted();
    void captureEnded(const QString& reason);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void open(const media::SourceSettings& settings);
    void close();
    void frameArrived();
    const std::vector<media::VideoDevice>& devices() const;
    const media::VideoDevice* currentDevice() const;
    const media::VideoDevice* tunerDevice() const;
    bool startRecorder(media::RecorderSettings settings);
    void endCapture(const QString& reason);
    void captureFinished(const QString& reason, const media::RecorderStatistics& done);
    double sourceRate() const;

    std::shared_ptr<VideoHardware> hardware_;
    mutable std::vector<media::VideoDevice> devices_;
    mutable std::vector<media::AudioDevice> audioDevices_;
    mutable bool listed_ = false;
    mutable bool audioListed_ = false;
    std::unique_ptr<media::MediaSession> session_;
    media::Frame shown_;
    QImage preview_;  // shown_ at the painted size, made once per frame
    std::int64_t previewNumber_ = -1;
    QSize previewSize_;  // what the source thread prepares for us
    QTimer repaintTimer_;
    QElapsedTimer sinceOpen_;
    QElapsedTimer sincePaint_;
    CaptureOverlays overlays_;
    QString cameraUrl_;
    QString streamUrl_;
    QSize videoSize_;
    int deviceIndex_ = 0;
    int inputIndex_ = 0;
    int formatRow_ = -1;
    int previewRate_ = 30;
    bool previewOn_ = false;
    bool overlayOn_ = false;
    bool scalePreview_ = true;
    bool useVmr9_ = false;
    int fullScreen_ = 0;
    bool audioPreview_ = false;
    int audioIndex_ = 0;
    int audioInputIndex_ = 0;
    int recordingLevel_ = 100;
    int tunerInput_ = 2;
    int tunerCountry_ = 1;
    int tunerChannel_ = 0;
    QString captureFile_;
    QString captureError_;
    bool captureAudio_ = false;
    bool timeLimitEnabled_ = false;
    int timeLimit_ = 0;
    double captureFrameRate_ = 0;
    int videoCompressor_ = 0;
    int audioCompressor_ = 0;
    std::unique_ptr<media::Recorder> recorder_;
    int finishing_ = 0;  // movies handed over to be finished, not yet whole
    std::uint64_t recording_ = 0;  // numbers the movies, so that a late end of an old one is ignored
    media::RecorderStatistics lastStatistics_;
    double recordRate_ = 0;
    bool frameCapture_ = false;
};

}  // namespace kestrova
