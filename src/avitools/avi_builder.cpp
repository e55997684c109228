#include "avi_builder.h"

#include "core/number_forms.h"
#include "imaging/dib.h"
#include "platform/media/recorder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <cmath>
#include <cstring>

namespace kestrova {

AddOutcome AviBuilderList::add(const QString& path) {
    cDib dib;
    if (!dib.CreateFromFile(path)) return AddOutcome::NotABitmap;
    if (format_.set && (dib.Width() != format_.width || dib.Height() != format_.height || dib.BitCount() != format_.bitCount)) {
        return AddOutcome::DifferentFormat;
    }
    if (!format_.set) format_ = {true, dib.Width(), dib.Height(), dib.BitCount()};
    paths_ << path;
    return AddOutcome::Added;
}

void AviBuilderList::remove(int index) {
    if (index < 0 || index >= paths_.size()) return;
    paths_.removeAt(index);
    if (paths_.isEmpty()) format_ = {};
}

bool AviBuilderList::moveUp(int index) {
    if (index <= 0 || index >= paths_.size()) return false;
    paths_.swapItemsAt(index, index - 1);
    return true;
}

bool AviBuilderList::moveDown(int index) {
    if (index < 0 || index + 1 >= paths_.size()) return false;
    paths_.swapItemsAt(index, index + 1);
    return true;
}

void AviBuilderList::clear() {
    paths_.clear();
    format_ = {};
}

int BuildFrameRate(const QString& text) {
    const auto match = QRegularExpression(QStringLiteral("^\\s*([-+]?\\d*\\.?\\d+)")).match(text);
    const double value = match.hasMatch() ? match.captured(1).toDouble() : 0;
    return int(std::clamp<double>(std::nearbyint(value), 1, 30));
}

QStringList FindBitmaps(const QString& folder, const QString& mask) {
    QDir dir(folder);
    dir.setNameFilters({mask});
    // Name filters ignore case, so the mask "*.BMP" finds "a.bmp" as it did on Windows.
    dir.setFilter(QDir::Files);
    dir.setSorting(QDir::Unsorted);
    QStringList found;
    for (const QFileInfo& entry : dir.entryInfoList()) {
        if (!entry.isFile() || entry.isSymLink() || entry.isHidden() || !(entry.permissions() & QFileDevice::WriteOwner)) continue;
        found << entry.absoluteFilePath();
    }
    return found;
}

QImage ReadBitmapFrame(const QString& path, QString& why) {
    cDib file;
    if (!file.CreateFromFile(path)) {
        why = QStringLiteral("%1 is not a bitmap: %2").arg(path, file.LoadError());
        return {};
    }
    cDib converted;
    const bool trueColour = file.view().isValid();
    if (!trueColour && !ToTrueColour(file, converted)) {
        why = QStringLiteral("%1: compressed bitmaps are not supported").arg(path);
        return {};
    }
    const PictureView view = (trueColour ? file : converted).view();
    QImage image(view.width, view.height, QImage::Format_BGR888);
    if (image.isNull()) {
        why = QStringLiteral("not enough memory for %1").arg(path);
        return {};
    }
    for (int y = 0; y < view.height; ++y) std::memcpy(image.scanLine(y), view.row(y), size_t(view.width) * 3);
    return image;
}

QString BuildingCaption(int index, int count, const QString& path) {
    return QStringLiteral("Writing (%1/%2) - %3 ...").arg(index).arg(count - 1).arg(path);
}

AviBuild::AviBuild(AviBuildSettings settings) : settings_(std::move(settings)) {}

AviBuild::~AviBuild() { cancel(); }

QString AviBuild::start(bool& firstUnreadable) {
    firstUnreadable = false;
    if (settings_.paths.isEmpty()) return QStringLiteral("no bitmaps to build from");
    QString why;
    const QImage first = ReadBitmapFrame(settings_.paths.front(), why);
    if (first.isNull()) {
        firstUnreadable = true;
        return why;
    }
    size_ = first.size();
    {
        QTemporaryFile partial(QFileInfo(settings_.out).absolutePath() + QStringLiteral("/.") + QFileInfo(settings_.out).fileName() +
                               QStringLiteral(".XXXXXX"));
        partial.setAutoRemove(false);
        if (!partial.open()) return QStringLiteral("cannot write %1: %2").arg(settings_.out, partial.errorString());
        partial_ = partial.fileName();
    }
    media::RecorderSettings movie;
    movie.path = partial_;
    movie.compressor = settings_.compressor;
    movie.size = size_;
    movie.fps = settings_.fps;
    movie.frameByFrame = true;
    recorder_ = std::make_unique<media::Recorder>(movie, media::Recorder::EndedHandler());
    const QString failed = recorder_->start();
    if (!failed.isEmpty()) {
        cancel();
        return failed;
    }
    return {};
}

AviBuild::Step AviBuild::step() {
    if (!failure_.isEmpty() || !recorder_) return Step::Failed;
    if (next_ >= count()) return Step::Done;
    if (recorder_->queue()->full()) return Step::Busy;
    const QString& path = settings_.paths[next_];
    QImage frame = ReadBitmapFrame(path, failure_);
    if (frame.isNull()) return Step::Failed;
    if (frame.size() != size_) {
        failure_ = QStringLiteral("%1 is %2x%3, the movie %4x%5").arg(path).arg(frame.width()).arg(frame.height()).arg(size_.width()).arg(size_.height());
        return Step::Failed;
    }
    media::Frame picture = media::Frame::fromImage(frame);
    picture.number = next_;
    picture.taken = std::chrono::steady_clock::now();
    if (!recorder_->queue()->push(picture)) {
        failure_ = QStringLiteral("cannot write %1: the encoder stopped").arg(settings_.out);
        return Step::Failed;
    }
    last_ = frame;
    ++next_;
    return Step::Wrote;
}

QString AviBuild::finish() {
    if (!recorder_) return failure_.isEmpty() ? QStringLiteral("the build has not started") : failure_;
    QString failed = recorder_->stop();
    const std::int64_t frames = recorder_->statistics().frames;
    recorder_.reset();
    if (failed.isEmpty() && frames != count()) failed = QStringLiteral("%1 of %2 frames reached the movie").arg(frames).arg(count());
    if (failed.isEmpty()) {
        QFile::remove(settings_.out);
        if (!QFile::rename(partial_, settings_.out)) failed = QStringLiteral("cannot write %1").arg(settings_.out);
    }
    if (!failed.isEmpty()) {
        failure_ = failed;
        QFile::remove(partial_);
    }
    partial_.clear();
    return failed;
}

void AviBuild::cancel() {
    if (recorder_) {
        recorder_->stop();
        recorder_.reset();
    }
    if (!partial_.isEmpty()) QFile::remove(partial_);
    partial_.clear();
}

}  // namespace kestrova
