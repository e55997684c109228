#pragma once
// The sources a user can choose: the V4L2 cameras, then the built-in Test Pattern; the audio inputs,
// then the built-in Test Tone.

#include "source.h"
#include "v4l2_devices.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace kestrova::media {

inline constexpr char TestPatternName[] = "Test Pattern";
inline constexpr char TestToneName[] = "Test Tone";

struct VideoDevice {
    QString name;
    QString identity;  // how the device is found again after a replug; empty for Test Pattern
    QStringList inputs;
    std::vector<FormatRow> formats;
    bool tuner = false;

    // How to open it at a format row (-1: the device's default) and input (-1: the current one).
    SourceSettings settings(int formatRow = -1, int input = -1) const;
};

struct AudioDevice {
    QString name;
    QString format;   // libavdevice input ("pulse", "alsa"); empty for Test Tone
    QString address;  // the device as that input names it
};

// Lists are read afresh at each call; the last entry is always the built-in one.
std::vector<VideoDevice> VideoDevices();
std::vector<AudioDevice> AudioDevices();

// The Test Pattern entry alone, for lists built from a fixture folder.
VideoDevice TestPatternDevice();

}  // namespace kestrova::media
