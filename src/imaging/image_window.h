#pragma once
// The Image window: one picture, ten effects, colour depth, open, save, clipboard and print. The
// effects and formats live in effects.h and picture_writer.h; this window only wires them up.

#include <QImage>
#include <QMainWindow>

class QLabel;
class QPrinter;
class QToolBar;
class QToolButton;

namespace kestrova {

// Pipe-separated filters ("Bitmap File (*.bmp)|*.bmp|...") in Qt's form ("Bitmap File (*.bmp);;...").
QString QtFileFilter(const QString& pipeFilter);
// The extension the first pattern of a filter names: "JPEG Image File (*.jpg)" gives ".jpg".
QString FilterExtension(const QString& filter);

class Image final : public QMainWindow {
    Q_OBJECT
public:
    explicit Image(QWidget* parent = nullptr);

    // The working image (MasterImage) and the picture that "reset" restores (ResetPicture).
    void setPicture(const QImage& picture);
    QImage picture() const { return picture_; }
    void setResetPicture(const QImage& picture) { reset_ = picture; }
    QImage resetPicture() const { return reset_; }
    // Empty or "1", "8", "24", "32": the depth the picture is saved at.
    QString depthTag() const { return depthTag_; }

    void ProgressMessage(const QString& text);
    QString progressMessage() const;

    // A key of the effects menu: an effect, "bd_1".."bd_32" or "reset". False for an unknown key.
    bool runMenuKey(const QString& key);
    void openImage();
    void saveImage();
    void putOnClipboard();
    void printImage();
    // Prints onto printer; false when it cannot be drawn on.
    bool printTo(QPrinter& printer) const;
    // The picture 10 pixels below the toolbar, centred, and the window sized around it.
    void layOut();

    QToolBar* toolbar() const { return Mastertoolbar; }
    QLabel* pictureBox() const { return MasterImage; }

signals:
    // The main window's status text.
    void statusText(const QString& text);

protected:
    void changeEvent(QEvent* event) override;

private:
    void applyEffect(const struct Effect& effect);
    void setColourDepth(int bits);

    QToolBar* Mastertoolbar;
    QToolButton* effectsButton;
    QLabel* MasterImage;
    QImage picture_;
    QImage reset_;
    QString depthTag_;
};

}  // namespace kestrova
