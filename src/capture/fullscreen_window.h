#pragma once
// The live picture of a capture-window driver over the whole screen; any key closes it.

#include <QDialog>
#include <QImage>

class QLineEdit;

namespace kestrova {

class Fullscreen final : public QDialog {
    Q_OBJECT
public:
    // mira: the test card, kept out of sight beyond the lower right corner.
    Fullscreen(const QImage& mira, int previewRate, QWidget* parent = nullptr);
    ~Fullscreen() override;

    QString Tag;  // "OVERLAY" when the picture should use overlay
    quintptr captureWindow() const { return window_; }

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    void connectDriver();
    void release();

    QImage mira_;
    QLineEdit* keyy_;
    int previewRate_;
    quintptr window_ = 0;
};

}  // namespace kestrova
