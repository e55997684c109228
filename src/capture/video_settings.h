#pragma once
// The capture window's settings for movies: yield, buffers, index size, chunk granularity and the
// dropped-frame warning. Shows the globals; "OK" stores them, "Cancel" leaves them.

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace kestrova {

class VideoSettings final : public QDialog {
    Q_OBJECT
public:
    explicit VideoSettings(QWidget* parent = nullptr);

    void Defaults();
    void store();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QComboBox* yield_;
    QLineEdit* videoBuffers_;
    QLineEdit* audioBuffers_;
    QCheckBox* dosBuffers_;
    QCheckBox* disableCache_;
    QLineEdit* maxIndexSize_;
    QLineEdit* chunk_;
    QComboBox* droppedFrames_;
};

}  // namespace kestrova
