#pragma once
// MovieViewer ("Movie Window"): plays a movie, shows its position as frames or time, jumps to a
// frame, and takes frames out as pictures. Several may be open at once.

#include "frame_extraction.h"
#include "platform/media/movie_reader.h"

#include <QTimer>
#include <QWidget>

#include <memory>

class QAction;
class QLabel;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QToolBar;

namespace kestrova {

// "00000012 / 0000250".
QString FramesPositionText(std::int64_t current, std::int64_t count);
// Milliseconds as hours:minutes:seconds, two digits at least each: 3725000 -> "01:02:05".
QString ViewerTimeText(double milliseconds);

class MovieViewer : public QWidget {
    Q_OBJECT
public:
    explicit MovieViewer(QWidget* parent = nullptr);

    // Opens the movie (the opener sets Movie_Filename and the caption); empty or why it cannot.
    QString open(const QString& movieFilename);
    QString Movie_Filename;

    // The player's operations; frame numbers count from 1 to FrameCount.
    void PlayStream();
    void StopStream();
    void SeekFrame(std::int64_t frame);
    std::int64_t CurrentFrame() const { return current_ + 1; }
    std::int64_t FrameCount() const { return reader_.frameCount(); }
    bool playing() const { return playTimer_.isActive(); }
    bool extracting() const { return extraction_ != nullptr; }

    void ExtractCurrentFrame();
    void ExtractAllFrames();
    void goToFrame();
    // The position display, every 100 ms.
    void Timer1Tick();

    QToolBar* Mastertoolbar;
    QToolBar* MovieControl;
    QRadioButton* framesMode;
    QRadioButton* timeMode;
    QPushButton* MovieInfo;
    QScrollBar* hmovie;
    QLabel* picture;

signals:
    // A frame for a new image editor window, with its caption.
    void frameExtracted(const QImage& frame, const QString& caption);
    void statusText(const QString& text);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void showFrame(std::int64_t index);
    void playTick();
    void extractTick();
    void endExtraction(const QString& status);
    void recompress();

    media::MovieReader reader_;
    std::int64_t current_ = 0;  // the index of the picture shown
    QTimer Timer1;
    QTimer playTimer_;
    std::unique_ptr<FrameExtraction> extraction_;
    QTimer extractTimer_;
    QString lastChosen_;
};

}  // namespace kestrova
