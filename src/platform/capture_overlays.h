#pragma once
// What the capture control draws over the picture: numbered text overlays ("SMPTE" is the running
// timecode) and picture overlays with a transparency colour. Drawn on the preview and, through the
// same function, into recorded frames.

#include <QColor>
#include <QImage>
#include <QMap>
#include <QString>

class QPainter;

namespace kestrova {

struct TextOverlayItem {
    QString text;
    int x = 0;
    int y = 0;
    QString fontName;
    int size = 12;
    QColor colour = Qt::white;
};

struct ImageOverlayItem {
    QImage picture;  // with the transparency colour already made transparent
    int x = 0;
    int y = 0;
};

struct CaptureOverlays {
    QMap<int, TextOverlayItem> texts;
    ImageOverlayItem image;

    // An empty text removes the overlay of that number.
    void setText(int number, const TextOverlayItem& item);
    // A null picture removes it; pixels of `transparency` become see-through.
    void setImage(const QImage& picture, int x, int y, const QColor& transparency);
    bool isEmpty() const { return texts.isEmpty() && image.picture.isNull(); }
};

// "HH:MM:SS:FF" for `milliseconds` of running time at `fps` frames per second.
QString SmpteTimecode(qint64 milliseconds, double fps);

// Draws the overlays in picture coordinates; `elapsedMs` and `fps` feed the timecode.
void DrawCaptureOverlays(QPainter& painter, const CaptureOverlays& overlays, qint64 elapsedMs, double fps);

}  // namespace kestrova
