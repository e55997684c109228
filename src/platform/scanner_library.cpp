#include "scanner_library.h"

#include "core/translate.h"

#include <sane/sane.h>

#include <QByteArray>

#include <cstring>
#include <limits>
#include <mutex>
#include <thread>

namespace kestrova {

namespace {

// SANE is one library state for the process: one user at a time.
std::mutex saneInUse;

// Far beyond any flatbed at its highest resolution; a backend reporting more is not believed.
constexpr qint64 MaxPictureBytes = qint64(1) << 30;

QString statusText(SANE_Status status) { return QString::fromUtf8(sane_strstatus(status)); }

// sane_init on construction, sane_exit on destruction, under the lock.
class SaneSession {
public:
    SaneSession() : lock_(saneInUse) {
        SANE_Int version = 0;
        status_ = sane_init(&version, nullptr);
    }
    ~SaneSession() {
        if (status_ == SANE_STATUS_GOOD) sane_exit();
    }
    SaneSession(const SaneSession&) = delete;
    SaneSession& operator=(const SaneSession&) = delete;
    SANE_Status status() const { return status_; }

    std::vector<ScannerDevice> devices() const {
        std::vector<ScannerDevice> found;
        const SANE_Device** list = nullptr;
        if (sane_get_devices(&list, SANE_TRUE) != SANE_STATUS_GOOD || list == nullptr) return found;
        for (int i = 0; list[i] != nullptr; ++i) {
            const SANE_Device& each = *list[i];
            auto text = [](const char* value) { return value ? QString::fromUtf8(value) : QString(); };
            found.push_back({text(each.name), text(each.vendor), text(each.model), text(each.type)});
        }
        return found;
    }

private:
    std::lock_guard<std::mutex> lock_;
    SANE_Status status_;
};

class SaneDevice {
public:
    explicit SaneDevice(const QString& name) { status_ = sane_open(name.toUtf8().constData(), &handle_); }
    ~SaneDevice() {
        if (status_ == SANE_STATUS_GOOD) sane_close(handle_);
    }
    SaneDevice(const SaneDevice&) = delete;
    SaneDevice& operator=(const SaneDevice&) = delete;
    SANE_Status status() const { return status_; }
    SANE_Handle handle() const { return handle_; }

private:
    SANE_Handle handle_ = nullptr;
    SANE_Status status_;
};

// One frame as the scanner sent it: rows of bytesPerLine bytes.
struct Frame {
    SANE_Parameters parameters{};
    QByteArray bytes;
};

int sample(const Frame& frame, int row, int x, int channel, int channels) {
    const SANE_Parameters& p = frame.parameters;
    const qint64 rowStart = qint64(row) * p.bytes_per_line;
    const qint64 index = qint64(x) * channels + channel;
    if (p.depth == 16) {
        std::uint16_t value = 0;
        std::memcpy(&value, frame.bytes.constData() + rowStart + index * 2, 2);
        return value >> 8;
    }
    if (p.depth == 1) {
        const bool set = (static_cast<unsigned char>(frame.bytes[rowStart + index / 8]) >> (7 - index % 8)) & 1;
        // Line art: a set bit is black.
        if (p.format == SANE_FRAME_GRAY) return set ? 0 : 255;
        return set ? 255 : 0;
    }
    return static_cast<unsigned char>(frame.bytes[rowStart + index]);
}

// The frames (one grey or colour frame, or one each of red, green and blue) as one picture.
QImage toPicture(const std::vector<Frame>& frames) {
    const SANE_Parameters& first = frames.front().parameters;
    const int width = first.pixels_per_line;
    // The rows that came, no more than announced (a hand scanner announces none).
    qint64 height = first.lines > 0 ? first.lines : std::numeric_limits<int>::max();
    for (const Frame& frame : frames) {
        if (frame.parameters.pixels_per_line != width || frame.parameters.bytes_per_line <= 0) return {};
        height = std::min<qint64>(height, frame.bytes.size() / frame.parameters.bytes_per_line);
    }
    if (width <= 0 || height <= 0) return {};
    QImage picture(width, int(height), QImage::Format_RGB32);
    if (picture.isNull()) return {};
    const Frame* planes[3] = {nullptr, nullptr, nullptr};
    for (const Frame& frame : frames) {
        switch (frame.parameters.format) {
        case SANE_FRAME_RED: planes[0] = &frame; break;
        case SANE_FRAME_GREEN: planes[1] = &frame; break;
        case SANE_FRAME_BLUE: planes[2] = &frame; break;
        default: planes[0] = planes[1] = planes[2] = &frame; break;
        }
    }
    if (!planes[0] || !planes[1] || !planes[2]) return {};
    const bool oneFrameColour = first.format == SANE_FRAME_RGB;
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x) {
            if (oneFrameColour) {
                line[x] = qRgb(sample(*planes[0], y, x, 0, 3), sample(*planes[0], y, x, 1, 3), sample(*planes[0], y, x, 2, 3));
            } else {
                line[x] = qRgb(sample(*planes[0], y, x, 0, 1), sample(*planes[1], y, x, 0, 1), sample(*planes[2], y, x, 0, 1));
            }
        }
    }
    return picture;
}

bool supported(const SANE_Parameters& p) {
    const bool known = p.format == SANE_FRAME_GRAY || p.format == SANE_FRAME_RGB || p.format == SANE_FRAME_RED ||
                       p.format == SANE_FRAME_GREEN || p.format == SANE_FRAME_BLUE;
    const int channels = p.format == SANE_FRAME_RGB ? 3 : 1;
    const qint64 needed = (qint64(p.pixels_per_line) * channels * p.depth + 7) / 8;
    return known && (p.depth == 1 || p.depth == 8 || p.depth == 16) && p.pixels_per_line > 0 && p.bytes_per_line >= needed;
}

bool setOption(SANE_Handle handle, const QString& name, const QString& value) {
    const QByteArray wanted = name.toUtf8();
    for (SANE_Int i = 1;; ++i) {
        const SANE_Option_Descriptor* option = sane_get_option_descriptor(handle, i);
        if (option == nullptr) return false;
        if (option->name == nullptr || wanted != option->name) continue;
        if (!SANE_OPTION_IS_SETTABLE(option->cap) || !SANE_OPTION_IS_ACTIVE(option->cap)) return false;
        bool number = true;
        switch (option->type) {
        case SANE_TYPE_BOOL: {
            const QString word = value.toLower();
            SANE_Bool on = word == QLatin1String("true") || word == QLatin1String("yes") || word == QLatin1String("1");
            return sane_control_option(handle, i, SANE_ACTION_SET_VALUE, &on, nullptr) == SANE_STATUS_GOOD;
        }
        case SANE_TYPE_INT:
        case SANE_TYPE_FIXED: {
            // Single values only; arrays (gamma tables) are not set from text.
            if (option->size != SANE_Int(sizeof(SANE_Word))) return false;
            const double parsed = value.toDouble(&number);
            if (!number) return false;
            SANE_Word word = option->type == SANE_TYPE_INT ? SANE_Word(qRound(parsed)) : SANE_FIX(parsed);
            return sane_control_option(handle, i, SANE_ACTION_SET_VALUE, &word, nullptr) == SANE_STATUS_GOOD;
        }
        case SANE_TYPE_STRING: {
            QByteArray text = value.toUtf8();
            if (option->size <= 0 || text.size() >= option->size) return false;
            text.resize(option->size, '\0');
            return sane_control_option(handle, i, SANE_ACTION_SET_VALUE, text.data(), nullptr) == SANE_STATUS_GOOD;
        }
        default:
            return false;
        }
    }
}

}  // namespace

QString ScannerDevice::label() const {
    const QString product = QStringList{vendor, model}.join(u' ').trimmed();
    return product.isEmpty() ? name : product + QStringLiteral(" (") + name + u')';
}

QString ScanFailureText(const ScanOutcome& outcome) {
    auto with = [&](const char* text) {
        const QString translated = Translate(QString::fromLatin1(text));
        return outcome.detail.isEmpty() ? translated : translated + QStringLiteral(": ") + outcome.detail;
    };
    switch (outcome.failure) {
    case ScanFailure::None: return {};
    case ScanFailure::NoScanner: return Translate(QStringLiteral("No scanner was found"));
    case ScanFailure::LibraryFailed: return with("The scanner library cannot start");
    case ScanFailure::OpenFailed: return with("Cannot open the scanner");
    case ScanFailure::BadOption: return with("The scanner does not take the setting");
    case ScanFailure::ScanFailed: return with("The scan failed");
    case ScanFailure::Unreadable: return Translate(QStringLiteral("The scanner sends a picture this program cannot read"));
    case ScanFailure::TooLarge: return Translate(QStringLiteral("The picture is too large"));
    case ScanFailure::Cancelled: return Translate(QStringLiteral("The scan was cancelled"));
    case ScanFailure::NoPicture: return Translate(QStringLiteral("The scanner sent no picture"));
    case ScanFailure::NotStopping: return Translate(QStringLiteral("The scanner does not stop; the next scan waits for it"));
    }
    return {};
}

ScannerList ListScanners() {
    SaneSession sane;
    if (sane.status() != SANE_STATUS_GOOD) return {{}, statusText(sane.status())};
    return {sane.devices(), QString()};
}

ScanOutcome ScanPicture(const QString& device, const ScanOptions& options, const std::atomic<bool>* cancel, std::atomic<int>* percent) {
    ScanOutcome outcome;
    auto failed = [&](ScanFailure failure, const QString& detail = QString()) {
        outcome.failure = failure;
        outcome.detail = detail;
        return outcome;
    };
    auto cancelled = [&] { return cancel && cancel->load(); };
    SaneSession sane;
    if (sane.status() != SANE_STATUS_GOOD) return failed(ScanFailure::LibraryFailed, statusText(sane.status()));
    QString name = device;
    if (name.isEmpty()) {
        const std::vector<ScannerDevice> devices = sane.devices();
        if (devices.empty()) return failed(ScanFailure::NoScanner);
        name = devices.front().name;
    }
    // A cancel that comes before the scanner has started costs no scan.
    if (cancelled()) return failed(ScanFailure::Cancelled);
    SaneDevice scanner(name);
    if (scanner.status() != SANE_STATUS_GOOD) {
        return failed(ScanFailure::OpenFailed, name + QStringLiteral(": ") + statusText(scanner.status()));
    }
    for (const auto& [option, value] : options) {
        if (!setOption(scanner.handle(), option, value)) return failed(ScanFailure::BadOption, option + u'=' + value);
    }
    std::vector<Frame> frames;
    qint64 total = 0;
    for (;;) {
        if (cancelled()) break;
        const SANE_Status started = sane_start(scanner.handle());
        if (started != SANE_STATUS_GOOD) {
            if (started == SANE_STATUS_CANCELLED) break;
            return failed(ScanFailure::ScanFailed, statusText(started));
        }
        Frame frame;
        if (sane_get_parameters(scanner.handle(), &frame.parameters) != SANE_STATUS_GOOD || !supported(frame.parameters)) {
            sane_cancel(scanner.handle());
            return failed(ScanFailure::Unreadable);
        }
        const SANE_Parameters& p = frame.parameters;
        const qint64 expected = p.lines > 0 ? qint64(p.lines) * p.bytes_per_line : -1;
        const int framesExpected = (p.format == SANE_FRAME_GRAY || p.format == SANE_FRAME_RGB) ? 1 : 3;
        if (expected > MaxPictureBytes) {
            sane_cancel(scanner.handle());
            return failed(ScanFailure::TooLarge);
        }
        if (expected > 0) frame.bytes.reserve(expected);
        QByteArray chunk(64 * 1024, Qt::Uninitialized);
        SANE_Status status = SANE_STATUS_GOOD;
        while (status == SANE_STATUS_GOOD) {
            if (cancelled()) {
                sane_cancel(scanner.handle());
                break;
            }
            SANE_Int length = 0;
            status = sane_read(scanner.handle(), reinterpret_cast<SANE_Byte*>(chunk.data()), SANE_Int(chunk.size()), &length);
            if (status != SANE_STATUS_GOOD || length <= 0) continue;
            if (total + length > MaxPictureBytes) {
                sane_cancel(scanner.handle());
                return failed(ScanFailure::TooLarge);
            }
            frame.bytes.append(chunk.constData(), length);
            total += length;
            if (percent && expected > 0) {
                const qint64 done = qint64(frames.size()) * expected + frame.bytes.size();
                percent->store(int(std::min<qint64>(100, done * 100 / (expected * framesExpected))));
            }
        }
        if (cancelled() || status == SANE_STATUS_CANCELLED) break;
        if (status != SANE_STATUS_EOF) {
            sane_cancel(scanner.handle());
            return failed(ScanFailure::ScanFailed, statusText(status));
        }
        frames.push_back(std::move(frame));
        if (p.last_frame || frames.size() >= 3) break;
    }
    sane_cancel(scanner.handle());
    if (cancelled() || frames.empty()) return failed(ScanFailure::Cancelled);
    outcome.picture = toPicture(frames);
    if (outcome.picture.isNull()) return failed(ScanFailure::NoPicture);
    if (percent) percent->store(100);
    return outcome;
}

std::shared_ptr<ScannerTask> ScannerTask::listing() {
    auto task = std::make_shared<ScannerTask>();
    std::thread([task] {
        task->list_ = ListScanners();
        task->finished_.store(true);
    }).detach();
    return task;
}

std::shared_ptr<ScannerTask> ScannerTask::scanning(const QString& device) {
    auto task = std::make_shared<ScannerTask>();
    std::thread([task, device] {
        task->outcome_ = ScanPicture(device, {}, &task->cancel_, &task->percent_);
        task->finished_.store(true);
    }).detach();
    return task;
}

}  // namespace kestrova
