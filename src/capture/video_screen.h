#pragma once
// The video window: the one place that talks to a capture source. A connect chooses the back-end of
// the source's kind (source_backend.h) and every operation goes to it. The window never sees the
// main window: what it reads comes in as small value structs, what it shows goes out as signals.

#include "source_kind.h"

#include "core/capture_records.h"
#include "platform/capture_control.h"

#include <QImage>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <memory>

class QLabel;
class QStatusBar;
class QToolBar;
class QToolButton;

namespace kestrova {

class SourceBackend;

// Main-window controls that Initialize sets: enabled states, check marks and drop-down lists.
struct DeviceControls {
    bool advancedSettings = false;  // "Video Advanced Settings"
    bool directX = false;
    bool directXChecked = false;
    bool overlayImage = false;
    bool wdmSettings = false;
    bool fullscreen = false;
    bool source = false;
    bool display = false;
    bool format = false;
    bool exportDv = false;
    bool tunerVisible = false;
    bool tunerCable = false;
    int tunerLow = 0;
    int tunerHigh = 0;
    QStringList formatItems;
    QStringList sourceItems;
    QStringList audioDevices;
    bool overlay = false;  // the "overlay" button and "Overlay Mode"
    bool overlayDown = false;
    bool previewDown = false;
    bool operator==(const DeviceControls&) const = default;
};

// Main-window values the operations read.
struct MainWindowValues {
    int previewRatePosition = 29;  // position in the preview-rate list; the rate is one more
    int multipleImageFrameRatePosition = 0;
    QString commonDialogFileName;
    // The record button's widget: its stop still works while an exclusive capture holds the program.
    QPointer<QWidget> stopButton;
};

// What a capture-window driver reports at connect, for the main window's movie and audio controls.
struct VfwDriverSettings {
    int frameRate = 12;
    bool noLimit = true;
    int hours = 0;
    int minutes = 0;
    int seconds = 1;
    bool audio = false;
    WAVEFORMATEX waveFormat;
    QString captureFile;
};

// The capture window's settings in force, put into the record the driver gets.
void ApplyVideoSettings(CAPTUREPARMS& parms);

// The movie panel's settings that Record reads.
struct MovieSettings {
    bool audio = false;
    bool noLimit = true;
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    double frameRate = 0;  // frames per second, fractions allowed; 0: the source's own rate
    // Positions of the audio format lists, for a capture window's sound format (ApplyAudioFormat).
    int audioBitsPos = 1;
    int audioChannelsPos = 1;
    int audioRatePos = 3;
};

// The program's own still slot: internal hand-overs of a still, never the system clipboard.
QImage& StillSlot();

// The 720 x 576 colour bar card with the program's name, the fallback still.
QImage MakeTestCard();

class VideoScreen final : public QWidget {
    Q_OBJECT
public:
    explicit VideoScreen(QWidget* parent = nullptr);
    ~VideoScreen() override;

    // The kind of the connected source; Tag() is its text (TagText).
    SourceKind Kind() const;
    QString Tag() const { return TagText(Kind()); }
    QString DeviceCaption() const { return deviceCaption_; }
    bool GrabPending() const { return grabPending_; }
    double winVideoSize() const { return winVideoSize_; }
    void setWinVideoSize(double size);
    bool isDVDevice = false;
    bool initializing() const;
    // The DV status timer runs while a DV device is connected.
    bool dvConnected() const { return dvStatus_.isActive(); }

    CaptureControl* wdmX() const { return wdmX_; }
    QStatusBar* statusBar() const { return statusBar_; }
    // The tape transport of a DV camcorder: "play", "pause", "stop", "rew", "fwd".
    QToolBar* Mastertoolbar() const { return mastertoolbar_; }
    QLabel* DVpos() const { return dvPos_; }
    QLabel* DVtaken() const { return dvTaken_; }
    const QImage& StreamPic() const { return streamPic_; }
    const QImage& mira() const { return mira_; }
    const DeviceControls& controls() const { return controls_; }
    MainWindowValues values;
    QImage MotionPicture;  // the picture laid over the live video

    void ConnectVideoCaptureDevice(int deviceId, const QString& systemType, const QString& deviceName);
    void Initialize();
    void Disconnect();
    void Overlay();
    void Preview(int frameRate);
    void Record(const MovieSettings& movie);
    void StopCapture();
    void SaveStill(const QString& fileName, int quality, bool onClipboard);
    void SetFilename(const QString& fileName);
    QString GetFilename() const;
    void OpenMultipleImage();
    void CaptureSingle();
    void CloseMultipleCapture();
    void SetCaptureParameters();
    void RefreshWindow();
    void VideoSource();
    void VideoFormat();
    void VideoDisplay();
    void WDMCaptureDialog();
    void AudioVFW(bool x);
    void ResizeWDM();
    void SizeVideoWindow();
    void WDMStatusTick();
    void DVStatusTick();
    // The running timecode over the picture while the movie toolbar's "tcr" button is down.
    void ShowTCR(bool tcrButtonDown);
    void VideoCompressionDialog(bool audio = false);
    void showVideoInfo();
    void DragWindow();

    // What the main window asks of the connected source.
    bool Capturing() const;               // a movie of it is being recorded
    bool ProgressThroughCallback() const;  // its progress comes through the status callback
    bool StopsOnRequest() const;           // the record button's stop ends its movie
    bool PreviewFollowsMovieRate() const;  // its preview runs at the movie's frame rate
    // Full screen inside the video window; false when the main window shows its full screen window.
    bool FullScreenInPlace();
    // The sound lists' device and input; false when the source's sound is not chosen there.
    bool ChooseAudioDevice(int position);
    void ChooseAudioInput(int position);

signals:
    void statusText(const QString& text);
    void panelText(const QString& key, const QString& text);  // main status bar panels by key
    void timeText(const QString& text);
    void recordButtonImage(const QString& image);
    void controlsChanged(const DeviceControls& controls);
    void audioMenuEnabled(bool on);
    // The device parameters file "vcsr.vc3": written at disconnect, read when a source connects.
    void parametersFile(bool write);
    void movieStopRequested();
    void initialized();
    void statusTick();  // the 100 ms capture status timer
    void dvStatusTick();
    void droppedText(const QString& text);
    void vfwSettingsRead(const VfwDriverSettings& settings);
    // A right click released on the capture window: the main window's "&Scanner" menu pops up.
    void captureWindowMenu();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class SourceBackend;
    void connectCaptureNotifications();
    void connectKind(SourceKind kind);
    void setCaption(const QString& caption);
    void applyControls();
    void resizeFrame(int width, int height);
    void setBusy(bool busy);
    void engineOpened();
    void engineFailed(const QString& reason);
    void commonEnd();
    QWidget* frame();

    std::unique_ptr<SourceBackend> backend_;
    CaptureControl* wdmX_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    QToolBar* mastertoolbar_ = nullptr;
    QLabel* dvPos_ = nullptr;
    QLabel* dvTaken_ = nullptr;
    QLabel* resolutionPanel_ = nullptr;
    QToolButton* audioPanel_ = nullptr;
    QTimer wdmStatus_;
    QTimer dvStatus_;
    QImage mira_;
    QImage streamPic_;
    DeviceControls controls_;
    QString deviceCaption_;
    double winVideoSize_ = 1;
    bool grabPending_ = false;
    bool busy_ = false;
    QPoint dragOffset_;
    bool dragging_ = false;
};

}  // namespace kestrova
