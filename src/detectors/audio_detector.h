#pragma once
// The "Audio Detector" window: watches the level of a sound input and, once armed, starts the
// current mode's operation when the level reaches the limit.

#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class QSlider;

namespace kestrova {

class SoundScope;

class AudioDetector final : public QWidget {
    Q_OBJECT
public:
    explicit AudioDetector(QWidget* parent = nullptr);

    SoundScope* scope() const { return audio_; }
    bool armed() const;

signals:
    // The armed trigger saw the limit reached; the window closes itself after saying so.
    void triggered();

private:
    void limitChanged(int value);
    void deviceChosen(int index);
    void limitReached();

    QComboBox* soundDevice_;
    QSlider* limit_;
    QPushButton* startCapture_;
    SoundScope* audio_;
    QLabel* problem_;
    bool fired_ = false;
};

}  // namespace kestrova
