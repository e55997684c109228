#pragma once
// VideoCODEC ("Video/Audio Compression"): the capture control's compressors for the next movie.
// A choice holds at once; the window has no OK or Cancel.

#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;

namespace kestrova {

class CaptureControl;

class VideoCODEC : public QWidget {
    Q_OBJECT
public:
    // audio: the movie toolbar's "audio" button is down, so the sound's compressor applies too.
    VideoCODEC(CaptureControl& control, bool audio, QWidget* parent = nullptr);

    QListWidget* VideoCompressor;
    QListWidget* AudioCompressor;
    QPushButton* CODECsetup;
    QPushButton* aCodecSetup;

private:
    CaptureControl& control_;
};

// Shows the window over `parent`'s window; a second call brings the open one forward.
VideoCODEC* ShowVideoCODEC(CaptureControl& control, bool audio, QWidget* parent);

}  // namespace kestrova
