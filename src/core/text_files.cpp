#include "text_files.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace kestrova {

OutputFile::OutputFile(QString path, bool userOnly, Durability durability)
    : path_(std::move(path)), userOnly_(userOnly), durability_(durability) {}

OutputFile::~OutputFile() {
    if (beside_) beside_->remove();
}

bool OutputFile::fail(const QString& why) {
    error_ = why;
    replacing_.reset();  // a save file never committed leaves nothing behind
    through_.reset();
    if (beside_) {
        beside_->remove();
        beside_.reset();
    }
    return false;
}

namespace {
// A name beside `path` that no other writer in this or another process uses at the same time.
QString BesideName(const QString& path) {
    static std::atomic<unsigned> counter{0};
    return path + QStringLiteral(".%1-%2.part").arg(::getpid()).arg(counter++);
}
}  // namespace

bool OutputFile::open() {
    struct stat found {};
    const QByteArray native = QFile::encodeName(path_);
    if (::stat(native.constData(), &found) == 0 && !S_ISREG(found.st_mode)) {
        if (S_ISDIR(found.st_mode)) return fail(QStringLiteral("it is a folder"));
        // A pipe or a device: replacing it would turn it into a plain file.
        through_ = std::make_unique<QFile>(path_);
        if (!through_->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return fail(through_->errorString());
        return true;
    }
    if (durability_ == Durability::Unsynced && !userOnly_) {
        beside_ = std::make_unique<QFile>(BesideName(path_));
        if (!beside_->open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
            const QString why = beside_->errorString();
            beside_.reset();  // nothing was created
            return fail(why);
        }
        return true;
    }
    replacing_ = std::make_unique<QSaveFile>(path_);
    if (!replacing_->open(QIODevice::WriteOnly)) return fail(replacing_->errorString());
    if (userOnly_) replacing_->setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return true;
}

bool OutputFile::write(const char* data, qint64 size) {
    QFileDevice* device = replacing_ ? static_cast<QFileDevice*>(replacing_.get()) : beside_ ? beside_.get() : through_.get();
    if (!device) return false;
    if (device->write(data, size) != size) return fail(device->errorString());
    return true;
}

bool OutputFile::commit() {
    if (through_) {
        const bool flushed = through_->flush();
        const QString why = through_->errorString();
        through_.reset();
        return flushed || fail(why);
    }
    if (beside_) {
        beside_->close();
        if (beside_->error() != QFileDevice::NoError) return fail(beside_->errorString());
        if (::rename(QFile::encodeName(beside_->fileName()).constData(), QFile::encodeName(path_).constData()) != 0) {
            return fail(QString::fromLocal8Bit(std::strerror(errno)));
        }
        beside_.reset();
        return true;
    }
    if (!replacing_) return false;
    if (!replacing_->commit()) return fail(replacing_->errorString());
    replacing_.reset();
    return true;
}

bool WriteFileAtomically(const QString& path, const QByteArray& data, bool userOnly, QString* why, Durability durability) {
    OutputFile file(path, userOnly, durability);
    const bool written = file.open() && file.write(data.constData(), data.size()) && file.commit();
    if (!written && why) *why = file.errorString();
    return written;
}

QString DecodeText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    // Windows-1252: Latin-1 except for the printable characters in 0x80..0x9F.
    static constexpr char16_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    text.clear();
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        text += QChar(b >= 0x80 && b < 0xA0 ? high[b - 0x80] : char16_t(b));
    }
    return text;
}

}  // namespace kestrova
