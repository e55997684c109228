#include "v4l2_devices.h"

#include <QDir>
#include <QFileInfo>

#include <linux/videodev2.h>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>

namespace kestrova::media {

namespace {

// A device node opened for ioctls only; never blocks on a busy device.
class DeviceFile {
public:
    explicit DeviceFile(const QString& node) : fd_(::open(QFile::encodeName(node).constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC)) {}
    ~DeviceFile() {
        if (fd_ >= 0) ::close(fd_);
    }
    DeviceFile(const DeviceFile&) = delete;
    DeviceFile& operator=(const DeviceFile&) = delete;
    bool isOpen() const { return fd_ >= 0; }
    template <typename T>
    bool ioctl(unsigned long request, T* argument) const {
        int status;
        do {
            status = ::ioctl(fd_, request, argument);
        } while (status < 0 && errno == EINTR);
        return status == 0;
    }

private:
    int fd_;
};

QString fromDriver(const unsigned char* text, size_t size) {
    return QString::fromUtf8(reinterpret_cast<const char*>(text), int(strnlen(reinterpret_cast<const char*>(text), size)));
}

double highestRate(const DeviceFile& device, std::uint32_t fourcc, QSize size) {
    double best = 0;
    v4l2_frmivalenum interval{};
    interval.pixel_format = fourcc;
    interval.width = std::uint32_t(size.width());
    interval.height = std::uint32_t(size.height());
    for (interval.index = 0; device.ioctl(VIDIOC_ENUM_FRAMEINTERVALS, &interval); ++interval.index) {
        const v4l2_fract shortest = interval.type == V4L2_FRMIVAL_TYPE_DISCRETE ? interval.discrete : interval.stepwise.min;
        if (shortest.numerator > 0) best = std::max(best, double(shortest.denominator) / shortest.numerator);
        if (interval.type != V4L2_FRMIVAL_TYPE_DISCRETE) break;
    }
    return best;
}

std::vector<DriverFormat> driverFormats(const DeviceFile& device) {
    std::vector<DriverFormat> formats;
    v4l2_fmtdesc description{};
    description.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    for (description.index = 0; device.ioctl(VIDIOC_ENUM_FMT, &description); ++description.index) {
        DriverFormat format;
        format.fourcc = description.pixelformat;
        v4l2_frmsizeenum size{};
        size.pixel_format = description.pixelformat;
        for (size.index = 0; device.ioctl(VIDIOC_ENUM_FRAMESIZES, &size); ++size.index) {
            if (size.type == V4L2_FRMSIZE_TYPE_DISCRETE) {
                const QSize picture(int(size.discrete.width), int(size.discrete.height));
                format.sizes.push_back(picture);
                format.rates.push_back(highestRate(device, format.fourcc, picture));
            } else {
                format.stepwise = true;
                format.sizes = {QSize(int(size.stepwise.min_width), int(size.stepwise.min_height)),
                                QSize(int(size.stepwise.max_width), int(size.stepwise.max_height))};
                break;
            }
        }
        formats.push_back(std::move(format));
    }
    return formats;
}

}  // namespace

std::optional<std::pair<QString, int>> DescribeFourcc(std::uint32_t fourcc) {
    static const std::map<std::uint32_t, std::pair<const char*, int>> known = {
        {V4L2_PIX_FMT_YUYV, {"yuyv422", 16}},   {V4L2_PIX_FMT_UYVY, {"uyvy422", 16}}, {V4L2_PIX_FMT_MJPEG, {"mjpeg", 24}},
        {V4L2_PIX_FMT_JPEG, {"mjpeg", 24}},     {V4L2_PIX_FMT_H264, {"h264", 24}},    {V4L2_PIX_FMT_RGB24, {"rgb24", 24}},
        {V4L2_PIX_FMT_BGR24, {"bgr24", 24}},    {V4L2_PIX_FMT_NV12, {"nv12", 12}},    {V4L2_PIX_FMT_YUV420, {"yuv420p", 12}},
        {V4L2_PIX_FMT_GREY, {"gray", 8}},       {V4L2_PIX_FMT_RGB565, {"rgb565le", 16}},
    };
    const auto found = known.find(fourcc);
    if (found == known.end()) return std::nullopt;
    return std::pair{QString::fromLatin1(found->second.first), found->second.second};
}

std::vector<FormatRow> BuildFormatRows(const std::vector<DriverFormat>& formats) {
    static const QSize common[] = {{160, 120}, {176, 144}, {320, 240}, {352, 288}, {640, 480}, {720, 576},
                                   {800, 600}, {1024, 768}, {1280, 720}, {1280, 1024}, {1920, 1080}};
    std::vector<FormatRow> rows;
    for (const DriverFormat& format : formats) {
        const auto described = DescribeFourcc(format.fourcc);
        if (!described) continue;
        auto add = [&](QSize size, double fps) {
            FormatRow row{size.width(), size.height(), described->second, described->first, fps};
            if (size.isEmpty() || std::find(rows.begin(), rows.end(), row) != rows.end()) return;
            rows.push_back(row);
        };
        if (format.stepwise && format.sizes.size() == 2) {
            const QSize low = format.sizes[0];
            const QSize high = format.sizes[1];
            add(low, 0);
            for (QSize size : common) {
                if (size.width() > low.width() && size.width() < high.width() && size.height() > low.height() && size.height() < high.height()) add(size, 0);
            }
            add(high, 0);
        } else {
            for (size_t i = 0; i < format.sizes.size(); ++i) add(format.sizes[i], i < format.rates.size() ? format.rates[i] : 0);
        }
    }
    std::stable_sort(rows.begin(), rows.end(), [](const FormatRow& a, const FormatRow& b) {
        return qint64(a.width) * a.height > qint64(b.width) * b.height;
    });
    return rows;
}

QMap<QString, QString> ByIdLinks(const QString& folder) {
    QMap<QString, QString> links;
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& entry : entries) {
        if (!entry.isSymLink()) continue;
        const QString target = entry.canonicalFilePath();
        // The first link of a node in name order wins, so the identity is stable.
        if (!target.isEmpty() && !links.contains(target)) links.insert(target, entry.absoluteFilePath());
    }
    return links;
}

std::vector<V4l2Device> ListV4l2Devices(const QString& devFolder, const QString& byIdFolder) {
    const QMap<QString, QString> identities = ByIdLinks(byIdFolder);
    QFileInfoList nodes = QDir(devFolder).entryInfoList({QStringLiteral("video*")}, QDir::System | QDir::Files | QDir::NoDotAndDotDot);
    std::sort(nodes.begin(), nodes.end(), [](const QFileInfo& a, const QFileInfo& b) {
        return a.fileName().mid(5).toInt() < b.fileName().mid(5).toInt();
    });
    std::vector<V4l2Device> devices;
    for (const QFileInfo& node : nodes) {
        DeviceFile device(node.absoluteFilePath());
        v4l2_capability capability{};
        if (!device.isOpen() || !device.ioctl(VIDIOC_QUERYCAP, &capability)) continue;
        const std::uint32_t caps = (capability.capabilities & V4L2_CAP_DEVICE_CAPS) ? capability.device_caps : capability.capabilities;
        // Metadata and output nodes of the same camera are not pictures.
        if (!(caps & V4L2_CAP_VIDEO_CAPTURE) || !(caps & V4L2_CAP_STREAMING || caps & V4L2_CAP_READWRITE)) continue;
        V4l2Device entry;
        entry.node = node.absoluteFilePath();
        entry.identity = identities.value(node.canonicalFilePath(), entry.node);
        entry.name = fromDriver(capability.card, sizeof capability.card);
        entry.tuner = caps & V4L2_CAP_TUNER;
        v4l2_input input{};
        for (input.index = 0; device.ioctl(VIDIOC_ENUMINPUT, &input); ++input.index) {
            entry.inputs << fromDriver(input.name, sizeof input.name);
        }
        entry.formats = BuildFormatRows(driverFormats(device));
        devices.push_back(std::move(entry));
    }
    return devices;
}

QString ResolveIdentity(const QString& identity) {
    const QFileInfo info(identity);
    return info.exists() ? info.canonicalFilePath() : QString();
}

std::vector<DeviceControl> QueryControls(const QString& node) {
    std::vector<DeviceControl> controls;
    DeviceFile device(node);
    if (!device.isOpen()) return controls;
    v4l2_queryctrl query{};
    query.id = V4L2_CTRL_FLAG_NEXT_CTRL;
    while (device.ioctl(VIDIOC_QUERYCTRL, &query)) {
        const bool usable = !(query.flags & V4L2_CTRL_FLAG_DISABLED) &&
                            (query.type == V4L2_CTRL_TYPE_INTEGER || query.type == V4L2_CTRL_TYPE_BOOLEAN || query.type == V4L2_CTRL_TYPE_MENU);
        if (usable) {
            controls.push_back({query.id, fromDriver(query.name, sizeof query.name), query.minimum, query.maximum,
                                std::max(1, query.step), query.default_value});
        }
        query.id |= V4L2_CTRL_FLAG_NEXT_CTRL;
    }
    return controls;
}

std::optional<int> GetControl(const QString& node, std::uint32_t id) {
    DeviceFile device(node);
    v4l2_control control{id, 0};
    if (!device.isOpen() || !device.ioctl(VIDIOC_G_CTRL, &control)) return std::nullopt;
    return control.value;
}

bool SetControl(const QString& node, std::uint32_t id, int value) {
    DeviceFile device(node);
    v4l2_control control{id, value};
    return device.isOpen() && device.ioctl(VIDIOC_S_CTRL, &control);
}

std::optional<int> TunerSignal(const QString& node) {
    DeviceFile device(node);
    v4l2_tuner tuner{};
    if (!device.isOpen() || !device.ioctl(VIDIOC_G_TUNER, &tuner)) return std::nullopt;
    return int(tuner.signal * 100 / 65535);
}

bool SetTunerFrequency(const QString& node, std::int64_t hertz) {
    DeviceFile device(node);
    v4l2_tuner tuner{};
    if (!device.isOpen() || !device.ioctl(VIDIOC_G_TUNER, &tuner)) return false;
    // Units of 62.5 kHz, or of 62.5 Hz for a tuner that says so.
    const double unit = (tuner.capability & V4L2_TUNER_CAP_LOW) ? 62.5 : 62500.0;
    v4l2_frequency frequency{};
    frequency.tuner = 0;
    frequency.type = tuner.type;
    frequency.frequency = std::uint32_t(double(hertz) / unit + 0.5);
    return device.ioctl(VIDIOC_S_FREQUENCY, &frequency);
}

namespace {
bool americanPlan(int country) { return country == 1 || country == 52 || (country >= 54 && country <= 58) || country == 81; }
}  // namespace

std::pair<int, int> ChannelLimits(int country, int input) {
    if (americanPlan(country)) return input == 1 ? std::pair{2, 125} : std::pair{2, 69};
    return input == 1 ? std::pair{2, 99} : std::pair{2, 69};
}

std::optional<std::int64_t> ChannelFrequency(int country, int input, int channel) {
    const auto [low, high] = ChannelLimits(country, input);
    if (channel < low || channel > high) return std::nullopt;
    constexpr std::int64_t MHz = 1000000;
    if (americanPlan(country)) {
        // NTSC broadcast and cable: VHF low, VHF high, UHF; cable fills the gaps in 6 MHz steps.
        if (channel <= 4) return 55250000 + (channel - 2) * 6 * MHz;
        if (channel <= 6) return 77250000 + (channel - 5) * 6 * MHz;
        if (channel <= 13) return 175250000 + (channel - 7) * 6 * MHz;
        if (input == 2) return 471250000 + (channel - 14) * 6 * MHz;
        if (channel <= 22) return 121250000 + (channel - 14) * 6 * MHz;
        return 217250000 + (channel - 23) * 6 * MHz;
    }
    // European plan: E2-E4 (7 MHz), E5-E12 (7 MHz), UHF E21-E69 (8 MHz). Cable adds the special
    // channels: S1-S8 as 13-20, S11-S20 (7 MHz) as 70-79 and the hyperband S21-S40 (8 MHz) as 80-99.
    if (channel <= 4) return 48250000 + (channel - 2) * 7 * MHz;
    if (channel <= 12) return 175250000 + (channel - 5) * 7 * MHz;
    if (input == 1 && channel < 21) return 105250000 + (channel - 13) * 7 * MHz;
    if (channel < 21) return std::nullopt;
    if (channel <= 69) return 471250000 + (channel - 21) * 8 * MHz;
    if (channel <= 79) return 231250000 + (channel - 70) * 7 * MHz;
    return 303250000 + (channel - 80) * 8 * MHz;
}

}  // namespace kestrova::media
