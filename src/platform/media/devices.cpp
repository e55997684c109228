#include "devices.h"

#include "ffmpeg_handles.h"
#include "test_pattern.h"

extern "C" {
#include <libavdevice/avdevice.h>
}

namespace kestrova::media {

SourceSettings VideoDevice::settings(int formatRow, int input) const {
    SourceSettings settings;
    if (identity.isEmpty()) {
        settings.kind = QString::fromLatin1(KindTestPattern);
    } else {
        settings.kind = QString::fromLatin1(KindCamera);
        settings.address = identity;
        settings.input = input;
    }
    if (formatRow >= 0 && formatRow < int(formats.size())) {
        const FormatRow& row = formats[size_t(formatRow)];
        settings.size = QSize(row.width, row.height);
        settings.pixelFormat = row.pixelFormat;
        settings.fps = row.fps;
    }
    return settings;
}

VideoDevice TestPatternDevice() {
    VideoDevice device;
    device.name = QString::fromLatin1(TestPatternName);
    device.inputs = {QStringLiteral("Pattern")};
    static const QSize sizes[] = {{1920, 1080}, {1280, 720}, {800, 600}, {640, 480}, {352, 288}, {320, 240}, {160, 120}};
    for (QSize size : sizes) device.formats.push_back({size.width(), size.height(), 24, QStringLiteral("bgr24"), TestPatternRate});
    return device;
}

std::vector<VideoDevice> VideoDevices() {
    std::vector<VideoDevice> devices;
    for (V4l2Device& found : ListV4l2Devices()) {
        devices.push_back({found.name, found.identity, found.inputs, std::move(found.formats), found.tuner});
    }
    devices.push_back(TestPatternDevice());
    return devices;
}

std::vector<AudioDevice> AudioDevices() {
    static const bool registered = [] {
        avdevice_register_all();
        return true;
    }();
    (void)registered;
    QuietFfmpegLog();
    std::vector<AudioDevice> devices;
    for (const char* name : {"pulse", "alsa"}) {
        const AVInputFormat* format = av_find_input_format(name);
        AVDeviceInfoList* list = nullptr;
        if (!format || avdevice_list_input_sources(format, nullptr, nullptr, &list) < 0 || !list) {
            avdevice_free_list_devices(&list);
            continue;
        }
        for (int i = 0; i < list->nb_devices; ++i) {
            const AVDeviceInfo* info = list->devices[i];
            const QString address = QString::fromUtf8(info->device_name);
            // ALSA lists its null sink and plug-in aliases even without a sound card.
            if (address.isEmpty() || address == QLatin1String("null")) continue;
            const QString description = QString::fromUtf8(info->device_description).section(u'\n', 0, 0);
            devices.push_back({description.isEmpty() ? address : description, QString::fromLatin1(name), address});
        }
        avdevice_free_list_devices(&list);
        // PulseAudio already covers the cards ALSA would list again.
        if (!devices.empty()) break;
    }
    devices.push_back({QString::fromLatin1(TestToneName), QString(), QString()});
    return devices;
}

}  // namespace kestrova::media
