#pragma once

#include <QWidget>

class QCheckBox;
class QPushButton;
class QSlider;

namespace kestrova {

// What the Preferences window edits, as plain values.
struct PreferenceValues {
    bool popUpViewer = false;
    bool autoplay = false;
    bool systemSounds = false;
    int jpegCompression = 0;
    int motion = 0;
    int overwriteQuestion = 0;
    int hangUp = 0;

    bool operator==(const PreferenceValues&) const = default;
};

// The values the window opens with: the flags from the global state, the rest from the store.
PreferenceValues LoadPreferenceValues();
// Confirms values: sets the flags, JpegQuality and MotionTolerance and stores the other five settings.
void ApplyPreferenceValues(const PreferenceValues& values);

// The Preferences window: frameless, above all other windows, dragged by its background.
class Preferences final : public QWidget {
    Q_OBJECT
public:
    explicit Preferences(QWidget* parent = nullptr);

    void LoadValues();
    PreferenceValues values() const;

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void ok_Click();
    void cancelar_Click();

    QCheckBox* PopUpViewer;
    QCheckBox* Autoplay;
    QCheckBox* ESounds;
    QSlider* JpegCompression;
    QSlider* Motion;
    QCheckBox* OverwriteQuestion;
    QCheckBox* HangUp;
    QPushButton* ok;
    QPushButton* cancelar;
};

}  // namespace kestrova
