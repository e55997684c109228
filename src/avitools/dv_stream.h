#pragma once
// A movie as a DV stream file: every picture of the movie, scaled to the DV picture, PAL at 25 frames
// per second or NTSC at 29.97, whichever is nearer the movie's rate.

#include "platform/media/movie_reader.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

namespace kestrova {

class DvStreamWriter {
public:
    DvStreamWriter();
    ~DvStreamWriter();
    DvStreamWriter(const DvStreamWriter&) = delete;
    DvStreamWriter& operator=(const DvStreamWriter&) = delete;

    // Opens the movie and the DV file (written beside its name until it is whole). Empty or why.
    QString open(const QString& movie, const QString& out);
    bool pal() const { return pal_; }
    // Writes the next picture; false at the end or on a failure (failure() says which).
    bool step();
    // After the last picture: finishes the file and gives it its name. Empty or the failure.
    QString finish();

    std::int64_t next() const { return next_; }
    std::int64_t count() const { return reader_.frameCount(); }
    QString failure() const { return failure_; }

private:
    struct Encoder;
    media::MovieReader reader_;
    std::unique_ptr<Encoder> encoder_;
    QString out_;
    QString partial_;
    bool pal_ = true;
    std::int64_t next_ = 0;
    QString failure_;
};

}  // namespace kestrova
