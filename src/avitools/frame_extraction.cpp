#include "frame_extraction.h"

#include "core/number_forms.h"
#include "imaging/dib.h"
#include "platform/image_view.h"
#include "platform/jpeg_encoder.h"

#include <QFile>

namespace kestrova {

PictureKind KindOfName(const QString& chosen) {
    const QString ending = chosen.right(3).toLower();
    if (ending == QLatin1String("bmp")) return PictureKind::Bitmap;
    if (ending == QLatin1String("jpg")) return PictureKind::Jpeg;
    return PictureKind::None;
}

QString ExtractedFrameName(const QString& chosen, std::int64_t index) {
    return chosen.left(chosen.size() - 4) + QStringLiteral("_Frame_") + QStringLiteral("%1").arg(index, 6, 10, QLatin1Char('0')) +
           chosen.right(4);
}

QString SavingStatus(std::int64_t index, std::int64_t last) {
    return QStringLiteral("Saving ") + FormatMask(static_cast<long long>(index), QStringLiteral("#")) + QStringLiteral(" of ") +
           FormatMask(static_cast<long long>(last), QStringLiteral("#")) + QStringLiteral(" frames");
}

QString WriteFramePicture(const QImage& frame, const QString& path, PictureKind kind, int quality) {
    if (kind == PictureKind::Bitmap) {
        QString why;
        if (!WriteBitmapFile(ViewOf(frame), path, &why, Durability::Unsynced)) return QStringLiteral("cannot write %1: %2").arg(path, why);
    } else if (kind == PictureKind::Jpeg) {
        const JpegResult result = EncodeJpegFile(ViewOf(frame), path, quality, Durability::Unsynced);
        if (result.status != JpegResult::Ok) return QStringLiteral("cannot write %1: %2").arg(path, result.reason);
    }
    return {};
}

QString FrameExtraction::open(const QString& movie, const QString& chosen, int quality) {
    chosen_ = chosen;
    kind_ = KindOfName(chosen);
    quality_ = quality;
    next_ = 0;
    written_.clear();
    return reader_.open(movie);
}

FrameExtraction::Step FrameExtraction::step() {
    if (!reader_.isOpen()) return Step::Failed;
    if (next_ >= reader_.frameCount()) return Step::Done;
    const std::int64_t index = next_++;
    QString why;
    const QImage frame = reader_.frame(index, &why);
    if (frame.isNull()) {
        failure_ = why;
        return Step::Skipped;
    }
    last_ = frame;
    if (kind_ == PictureKind::None) return Step::Wrote;
    const QString path = ExtractedFrameName(chosen_, index);
    const QString failed = WriteFramePicture(frame, path, kind_, quality_);
    if (!failed.isEmpty()) {
        failure_ = failed;
        return Step::Failed;
    }
    written_ << path;
    return Step::Wrote;
}

void FrameExtraction::removeWritten() {
    for (const QString& path : written_) QFile::remove(path);
    written_.clear();
}

}  // namespace kestrova
