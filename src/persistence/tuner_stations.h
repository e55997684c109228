#pragma once
// The TV tuner's named stations and their file "TVTuner.ini" (one "S<channel>", tab, name, CR LF
// per station, in menu order), the answers of the tuner's input boxes, and the scan's step.

#include <QByteArray>
#include <QString>

#include <vector>

namespace kestrova {

struct Station {
    QString key;   // "S" and the channel: "S5"
    QString text;  // the station's name
    bool operator==(const Station&) const = default;
};
using Stations = std::vector<Station>;

QString StationKey(int channel);
// The channel a key names: every "S" removed, the rest read as a number (0 when it is none).
int StationChannel(const QString& key);
// False, and nothing added, when the key is there already: the first entry stays.
bool AddStation(Stations& stations, const Station& station);
// False when no entry has the key.
bool RemoveStation(Stations& stations, const QString& key);

// What the name box gave, made fit for one line of the file; "Channel <n>" when nothing was typed.
QString StationName(const QString& entered, int channel);
// The country box's answer: every "+" removed, the rest read as a number.
int CountryCode(const QString& answer);

// Lines split at CR LF, each at its tabs: the first part is the key, the second the name. A line
// without a tab, an empty key and a repeated key add nothing.
Stations ParseStations(const QString& text);
QByteArray FormatStations(const Stations& stations);

// A missing or unreadable file gives no stations; UTF-8, or Windows-1252 from older versions.
Stations ReadStationsFile(const QString& path);
// Written beside itself and renamed over the old file; false with the reason in `why`.
bool WriteStationsFile(const QString& path, const Stations& stations, QString* why = nullptr);

// One tick of the channel scan: the slider's next value, old + step (the timer's tag, "1" or
// "-1"), kept when it leaves the range; atEnd when the value could not move.
struct ScanTick {
    int value = 0;
    bool atEnd = false;
    bool operator==(const ScanTick&) const = default;
};
ScanTick NextScanTick(int value, const QString& stepTag, int low, int high);

}  // namespace kestrova
