#pragma once
// One abstract source of pictures and a factory per kind. A source is created, opened and read on its
// own thread (SourceRunner); nothing here touches the UI.

#include "frame.h"
#include "interrupt.h"

#include <QSize>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>

namespace kestrova::media {

// Kinds a SourceSettings names.
inline constexpr char KindTestPattern[] = "testpattern";  // the built-in virtual camera
inline constexpr char KindCamera[] = "v4l2";              // a V4L2 device node (or its /dev/v4l/by-id link)
inline constexpr char KindLavfi[] = "lavfi";              // an FFmpeg filter graph, as a camera
inline constexpr char KindStream[] = "wms";               // any URL or file libavformat opens
inline constexpr char KindIpCamera[] = "http";            // MJPEG stream or JPEG snapshot URL

struct SourceSettings {
    QString kind;
    QString address;  // device path, URL, file or filter graph
    QSize size;       // wanted picture size; empty: the source's own (Test Pattern: 640 x 480)
    double fps = 0;   // wanted rate; 0: the source's own (Test Pattern: 30)
    int input = -1;   // V4L2 input; -1 leaves it
    QString pixelFormat;  // V4L2 input format by FFmpeg name ("mjpeg", "yuyv422"); empty: the driver's
    double pollRate = 15;  // JPEG snapshots fetched per second
    std::chrono::milliseconds openTimeout{8000};
    std::chrono::milliseconds readTimeout{5000};
};

enum class ReadStatus { Frame, Ended, Failed };

class Source {
public:
    virtual ~Source() = default;
    // Empty on success, else the reason. The interrupt is armed with the open deadline.
    virtual QString open() = 0;
    // Blocks until the next frame is due, the source ends, or it fails (reason set).
    virtual ReadStatus read(Frame& frame, QString& reason) = 0;
    virtual QSize size() const = 0;
};

using SourceFactory = std::function<std::unique_ptr<Source>(const SourceSettings&, Interrupt&)>;

// The source of settings.kind, or nullptr for a kind nobody registered. The interrupt outlives the source.
std::unique_ptr<Source> CreateSource(const SourceSettings& settings, Interrupt& interrupt);

}  // namespace kestrova::media
