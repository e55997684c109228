#pragma once
// The back-end of each source kind; each kind's operations are in a file of its own
// (backend_<kind>.cpp).

#include "source_backend.h"

namespace kestrova {

// Nothing connected, or a capture-window driver that did not connect: no operation does anything.
class NoneBackend final : public SourceBackend {
public:
    NoneBackend(VideoScreen& screen, SourceKind kind) : SourceBackend(screen), kind_(kind) {}
    SourceKind kind() const override { return kind_; }

    void Record(const MovieSettings&) override {}
    void StopCapture() override {}
    void OpenMultipleImage() override {}
    bool CaptureSingle() override { return true; }
    void CloseMultipleCapture() override {}

private:
    SourceKind kind_;
};

// A capture-window driver ("vfw"): backend_vfw.cpp.
class VfwBackend final : public SourceBackend {
public:
    using SourceBackend::SourceBackend;
    SourceKind kind() const override { return SourceKind::Vfw; }

    void Initialize() override;
    void Disconnect() override;
    void Overlay() override;
    void Preview(int frameRate) override;
    void SizeVideoWindow() override;
    void RefreshWindow() override;
    void Record(const MovieSettings& movie) override;
    void StopCapture() override;
    void SaveStill(const QString& fileName, int quality, bool onClipboard) override;
    void SetFilename(const QString& fileName) override;
    QString GetFilename() const override;
    void OpenMultipleImage() override;
    bool CaptureSingle() override;
    void CloseMultipleCapture() override;
    void SetCaptureParameters() override;
    bool capturing() const override;
    void VideoSource() override;
    void VideoFormat() override;
    void VideoDisplay() override;
    void VideoCompressionDialog(bool audio) override;
    bool progressThroughCallback() const override { return true; }
    bool stopsOnRequest() const override { return true; }

private:
    void buttons();
};

// A device through the capture control ("wdm"): backend_wdm.cpp.
class WdmBackend final : public ControlBackend {
public:
    using ControlBackend::ControlBackend;
    SourceKind kind() const override { return SourceKind::Wdm; }

    void Initialize() override;
    void Overlay() override;
    void Preview(int frameRate) override;
    void ResizeWDM() override;
    bool FullScreenInPlace() override;
    void Record(const MovieSettings& movie) override;
    void StopCapture() override { stopMovie(); }
    QString GetFilename() const override;
    void OpenMultipleImage() override { openFrames(); }
    bool CaptureSingle() override { return captureFrame(); }
    void CloseMultipleCapture() override { closeFrames(); }
    void VideoSource() override;
    void VideoFormat() override;
    void VideoDisplay() override;
    void WDMCaptureDialog() override;
    void VideoCompressionDialog(bool audio) override;
    bool chooseAudioDevice(int position) override;
    void chooseAudioInput(int position) override;
    bool previewFollowsMovieRate() const override { return true; }

protected:
    void finishOpen() override;
};

// A network stream or file ("wms"): backend_stream.cpp. It plays, shows and gives stills; it
// records nothing.
class StreamBackend final : public ControlBackend {
public:
    using ControlBackend::ControlBackend;
    SourceKind kind() const override { return SourceKind::Wms; }

    void Initialize() override;
    void Disconnect() override;
    void ResizeWDM() override;
    bool FullScreenInPlace() override;
    void VideoCompressionDialog(bool audio) override;

protected:
    void finishOpen() override;
};

// An IP camera ("http"): backend_camera.cpp. Stills and single-frame movies, no movie recording.
class CameraBackend final : public ControlBackend {
public:
    using ControlBackend::ControlBackend;
    SourceKind kind() const override { return SourceKind::Http; }

    void Initialize() override;
    void ResizeWDM() override { layOutDevicePicture(); }
    void StopCapture() override { stopMovie(); }
    void OpenMultipleImage() override { openFrames(); }
    bool CaptureSingle() override { return captureFrame(); }
    void CloseMultipleCapture() override { closeFrames(); }

protected:
    void finishOpen() override;
};

}  // namespace kestrova
