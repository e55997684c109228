#pragma once
// Pictures out of a movie: the current frame, or every frame into numbered BMP or JPEG files.

#include "platform/media/movie_reader.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace kestrova {

enum class PictureKind { Bitmap, Jpeg, None };

// By the last three letters of the chosen name, any case: "bmp", "jpg"; anything else writes nothing.
PictureKind KindOfName(const QString& chosen);
// The chosen name without its last four characters, "_Frame_", the index in six digits and the
// chosen extension: clip.bmp, 7 -> clip_Frame_000007.bmp.
QString ExtractedFrameName(const QString& chosen, std::int64_t index);
// "Saving i of last frames", the numbers with the mask "#" (0 shows as nothing).
QString SavingStatus(std::int64_t index, std::int64_t last);
// Writes one picture whole; empty or the reason.
QString WriteFramePicture(const QImage& frame, const QString& path, PictureKind kind, int quality);

// Every frame of a movie into numbered files, one step per frame.
class FrameExtraction {
public:
    // Empty on success, else why the movie cannot be read.
    QString open(const QString& movie, const QString& chosen, int quality);
    enum class Step { Wrote, Skipped, Done, Failed };
    // Writes the next frame. A frame that cannot be decoded is skipped, with the reason kept.
    Step step();
    // Removes the files this extraction wrote.
    void removeWritten();

    std::int64_t next() const { return next_; }
    std::int64_t count() const { return reader_.frameCount(); }
    const QImage& lastFrame() const { return last_; }
    QString failure() const { return failure_; }
    const QStringList& written() const { return written_; }

private:
    media::MovieReader reader_;
    QString chosen_;
    PictureKind kind_ = PictureKind::None;
    int quality_ = 75;
    std::int64_t next_ = 0;
    QImage last_;
    QString failure_;
    QStringList written_;
};

}  // namespace kestrova
