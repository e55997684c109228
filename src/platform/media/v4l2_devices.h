#pragma once
// V4L2 capture devices through their ioctls: which nodes capture, their stable identity, names,
// inputs, formats and controls, and the tuner where a device has one.

#include <QList>
#include <QMap>
#include <QSize>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace kestrova::media {

// One row of a device's format list: what a user picks.
struct FormatRow {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    QString pixelFormat;  // FFmpeg's name for the driver's format ("yuyv422", "mjpeg")
    double fps = 0;       // the highest rate the driver offers at this size; 0 when unknown
    bool operator==(const FormatRow&) const = default;
};

// What VIDIOC_ENUM_FMT / FRAMESIZES / FRAMEINTERVALS report, one entry per pixel format.
struct DriverFormat {
    std::uint32_t fourcc = 0;
    bool stepwise = false;       // sizes from minimum to maximum (step ignored) instead of a list
    std::vector<QSize> sizes;    // the list, or {minimum, maximum} when stepwise
    std::vector<double> rates;   // one highest rate per size of the list; empty when unknown
};

struct DeviceControl {
    std::uint32_t id = 0;
    QString name;
    int minimum = 0;
    int maximum = 0;
    int step = 1;
    int defaultValue = 0;
};

struct V4l2Device {
    QString node;      // /dev/videoN
    QString identity;  // its /dev/v4l/by-id link when there is one, else the node
    QString name;      // the driver's card name
    QStringList inputs;
    std::vector<FormatRow> formats;
    bool tuner = false;
};

// FFmpeg's name and the bits per pixel of a V4L2 pixel format; nothing for formats we cannot open.
std::optional<std::pair<QString, int>> DescribeFourcc(std::uint32_t fourcc);

// The rows of a device's format list: every size of every usable format, stepwise ranges as the
// common sizes that fit, largest picture first, no duplicates.
std::vector<FormatRow> BuildFormatRows(const std::vector<DriverFormat>& formats);

// Device node (resolved) -> by-id link, from the links in `folder`.
QMap<QString, QString> ByIdLinks(const QString& folder);

// The capture-capable devices under `devFolder`, in node order.
std::vector<V4l2Device> ListV4l2Devices(const QString& devFolder = QStringLiteral("/dev"),
                                        const QString& byIdFolder = QStringLiteral("/dev/v4l/by-id"));

// The node a stored identity (by-id link or node path) leads to now; empty when it is gone.
QString ResolveIdentity(const QString& identity);

std::vector<DeviceControl> QueryControls(const QString& node);
std::optional<int> GetControl(const QString& node, std::uint32_t id);
bool SetControl(const QString& node, std::uint32_t id, int value);

// Tuner: signal strength 0-100 (nothing without a tuner) and tuning in Hz.
std::optional<int> TunerSignal(const QString& node);
bool SetTunerFrequency(const QString& node, std::int64_t hertz);

// Our channel table: the picture carrier of `channel` for a telephone country code and input
// (1 cable, 2 antenna). Countries of the Americas (1, 52, 55...) and Japan (81) use their own plans,
// every other country the European one.
std::optional<std::int64_t> ChannelFrequency(int country, int input, int channel);
std::pair<int, int> ChannelLimits(int country, int input);

}  // namespace kestrova::media
