#pragma once
// The AVI builder without its window: the list of bitmaps with its one-format rule, the folder
// search, and the build itself, one frame per bitmap through the recorder's encoders.

#include <QImage>
#include <QString>
#include <QStringList>

#include <memory>

namespace kestrova {

namespace media {
class Recorder;
}

// The width, height and bit count every bitmap of the list shares; unset while the list is empty.
struct BitmapFormat {
    bool set = false;
    int width = 0;
    int height = 0;
    int bitCount = 0;
};

enum class AddOutcome { Added, NotABitmap, DifferentFormat };

// The frames in order, as their full paths.
class AviBuilderList {
public:
    // Reads the bitmap; the first one sets the format, later ones must match it.
    AddOutcome add(const QString& path);
    void remove(int index);
    // Exchange with the neighbour; false at the top (bottom) or for no entry.
    bool moveUp(int index);
    bool moveDown(int index);
    void clear();

    const QStringList& paths() const { return paths_; }
    const BitmapFormat& format() const { return format_; }

private:
    QStringList paths_;
    BitmapFormat format_;
};

// The frame rate of a rate text such as " 11 FPS": its leading number rounded (halves to even) and held
// to 1...30.
int BuildFrameRate(const QString& text);

// The regular files of `folder` whose names match the wildcard mask (* and ?, any case), in the order
// the file system lists them. Hidden and read-only files are left out, as files with attributes
// beyond "archive" were.
QStringList FindBitmaps(const QString& folder, const QString& mask);

// A bitmap file as a 24-bit top-down picture for the encoder; null with the reason in `why`.
QImage ReadBitmapFrame(const QString& path, QString& why);

// "Writing (i/last) - path ...".
QString BuildingCaption(int index, int count, const QString& path);

struct AviBuildSettings {
    QString out;
    QStringList paths;
    int fps = 11;
    int compressor = 0;  // index in media::VideoCompressors()
};

// One build. The movie is written beside its name and takes it only when every frame is in, so a
// failed or cancelled build leaves no half movie under the name (and an older file there stays).
class AviBuild {
public:
    explicit AviBuild(AviBuildSettings settings);
    ~AviBuild();
    AviBuild(const AviBuild&) = delete;
    AviBuild& operator=(const AviBuild&) = delete;

    // Reads the first bitmap and opens the movie. Empty on success; firstUnreadable tells the two
    // failures apart.
    QString start(bool& firstUnreadable);
    enum class Step { Wrote, Busy, Done, Failed };
    // Hands the next bitmap to the encoder; Busy while the encoder's queue is full.
    Step step();
    // After Done: finishes the movie and gives it its name. Empty, or the failure.
    QString finish();
    // Drops the movie being written.
    void cancel();

    QString failure() const { return failure_; }
    int next() const { return next_; }  // the index of the bitmap step() writes next
    int count() const { return int(settings_.paths.size()); }
    const QImage& lastFrame() const { return last_; }

private:
    AviBuildSettings settings_;
    QString partial_;
    std::unique_ptr<media::Recorder> recorder_;
    QSize size_;
    int next_ = 0;
    QString failure_;
    QImage last_;
};

}  // namespace kestrova
