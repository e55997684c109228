#pragma once
// What each kind of source does for the video window's operations: one class per kind, chosen when
// a source connects. An operation a kind lacks answers "Capture Mode not supported" where the window
// says so (the defaults marked below) and does nothing elsewhere. A new kind is one more class and
// one more line in MakeBackend.

#include "source_kind.h"

#include <QImage>
#include <QObject>
#include <QString>

#include <memory>

class QLabel;
class QStatusBar;
class QTimer;
class QToolBar;
class QToolButton;

namespace kestrova {

class CaptureControl;
class VideoScreen;
struct DeviceControls;
struct MovieSettings;
struct MainWindowValues;

// A QObject so that a back-end replaced while one of its operations waits in a modal window is
// deleted only once that operation has returned.
class SourceBackend : public QObject {
public:
    explicit SourceBackend(VideoScreen& screen) : screen_(screen) {}
    virtual SourceKind kind() const = 0;

    // Connecting: Initialize, then (for sources that open on the engine's thread) opened() or
    // failed(); every later open of the same source (a new format, a reopen) is opened() too.
    virtual void Initialize();
    virtual bool initializing() const { return false; }
    virtual void opened() {}
    virtual void failed() {}
    virtual void Disconnect() {}

    // The picture.
    virtual void Overlay() {}
    virtual void Preview(int /*frameRate*/) {}
    virtual void ResizeWDM() {}
    virtual void SizeVideoWindow() {}
    virtual void RefreshWindow() {}
    virtual bool FullScreenInPlace() { return false; }

    // Movies, stills and single frames. "Capture Mode not supported" by default: Record,
    // StopCapture, OpenMultipleImage, CaptureSingle, CloseMultipleCapture.
    virtual void Record(const MovieSettings& movie);
    virtual void StopCapture();
    // A source without a picture gives the test card to the still slot.
    virtual void SaveStill(const QString& fileName, int quality, bool onClipboard);
    virtual void SetFilename(const QString& /*fileName*/) {}
    virtual QString GetFilename() const { return QStringLiteral("Error"); }
    virtual void OpenMultipleImage();
    // False when nothing was captured (and nothing is to be said about it).
    virtual bool CaptureSingle();
    virtual void CloseMultipleCapture();
    virtual void SetCaptureParameters() {}
    virtual bool capturing() const { return false; }

    // The device's own windows.
    virtual void VideoSource() {}
    virtual void VideoFormat() {}
    virtual void VideoDisplay() {}
    virtual void WDMCaptureDialog() {}
    // audio: sound goes into the movie, so its compressor is chosen too.
    virtual void VideoCompressionDialog(bool /*audio*/) {}

    // Sound: the device and input of the sound lists.
    virtual bool chooseAudioDevice(int /*position*/) { return false; }
    virtual void chooseAudioInput(int /*position*/) {}

    // What the main window asks.
    virtual bool throughControl() const { return false; }
    virtual bool progressThroughCallback() const { return false; }
    virtual bool stopsOnRequest() const { return false; }
    virtual bool previewFollowsMovieRate() const { return false; }

protected:
    void notSupported();
    // True when this back-end is still the window's, after a modal window may have replaced it.
    bool current() const;
    // The window goes on with another kind's back-end (this one is deleted once its operation has
    // returned): a driver that does not connect.
    void becomeKind(SourceKind kind) const;

    // The video window's parts the back-ends work on.
    CaptureControl& control() const;
    DeviceControls& controls() const;
    const MainWindowValues& values() const;
    QStatusBar& statusBar() const;
    QToolBar& tapeTransport() const;
    QLabel& resolutionPanel() const;
    QToolButton& audioPanel() const;
    QTimer& wdmStatus() const;
    QTimer& dvStatus() const;
    QLabel& dvPos() const;
    QLabel& dvTaken() const;
    const QImage& mira() const;
    QImage& streamPic() const;
    bool& grabPending() const;
    double winVideoSize() const;
    QString windowTitle() const;
    void setCaption(const QString& caption) const;
    void setBusy(bool busy) const;
    void applyControls() const;
    void resizeFrame(int width, int height) const;
    void commonEnd() const;

    VideoScreen& screen_;
};

// The source kinds that show their picture through the capture control: a device, a network
// stream, an IP camera. The steps they share.
class ControlBackend : public SourceBackend {
public:
    using SourceBackend::SourceBackend;

    bool initializing() const override { return pending_; }
    void opened() override;
    void failed() override;
    void Disconnect() override;
    void SaveStill(const QString& fileName, int quality, bool onClipboard) override;
    void SetFilename(const QString& fileName) override;
    bool throughControl() const override { return true; }
    bool stopsOnRequest() const override { return true; }

protected:
    // The end of the first open, before the window's connect ends.
    virtual void finishOpen() = 0;
    // The capture control's movie, single frames and stop.
    void stopMovie();
    void openFrames();
    bool captureFrame();
    void closeFrames();
    // The picture laid out at the zoom with the tape transport and status bar around it.
    void layOutDevicePicture();
    // Asks for the address of a network source; false when none is given.
    bool askAddress(const QString& question, QString& address);
    // The controls of a network source, once its address is known.
    void networkControls(const QString& caption);

    bool pending_ = false;  // opening on the engine's thread
};

std::unique_ptr<SourceBackend> MakeBackend(SourceKind kind, VideoScreen& screen);

}  // namespace kestrova
