#include "tuner_stations.h"

#include "core/number_forms.h"
#include "core/text_files.h"
#include "core/translate.h"

#include <QFile>

#include <algorithm>

namespace kestrova {

namespace {

// Far beyond any list of stations; a larger file is not ours.
constexpr qint64 MaxStationsFile = 1 << 20;

auto findKey(Stations& stations, const QString& key) {
    return std::find_if(stations.begin(), stations.end(), [&](const Station& each) { return each.key == key; });
}

}  // namespace

QString StationKey(int channel) { return QStringLiteral("S") + QString::number(channel); }

int StationChannel(const QString& key) { return ValInt(QString(key).remove(u'S')); }

bool AddStation(Stations& stations, const Station& station) {
    if (station.key.isEmpty() || findKey(stations, station.key) != stations.end()) return false;
    stations.push_back(station);
    return true;
}

bool RemoveStation(Stations& stations, const QString& key) {
    const auto found = findKey(stations, key);
    if (found == stations.end()) return false;
    stations.erase(found);
    return true;
}

QString StationName(const QString& entered, int channel) {
    // A tab or a line break would split the station's line in the file.
    QString name = entered;
    for (QChar& c : name) {
        if (c == u'\t' || c == u'\r' || c == u'\n') c = u' ';
    }
    if (!name.isEmpty()) return name;
    return Translate(QStringLiteral("Channel")) + QStringLiteral(" ") + QString::number(channel);
}

int CountryCode(const QString& answer) { return ValInt(QString(answer).remove(u'+')); }

Stations ParseStations(const QString& text) {
    Stations stations;
    for (const QString& line : text.split(QStringLiteral("\r\n"))) {
        const QStringList parts = line.split(u'\t');
        if (parts.size() < 2) continue;
        AddStation(stations, {parts[0], parts[1]});
    }
    return stations;
}

QByteArray FormatStations(const Stations& stations) {
    QString text;
    for (const Station& station : stations) text += station.key + u'\t' + station.text + QStringLiteral("\r\n");
    return text.toUtf8();
}

Stations ReadStationsFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QByteArray bytes = file.read(MaxStationsFile);
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    return ParseStations(DecodeText(bytes));
}

bool WriteStationsFile(const QString& path, const Stations& stations, QString* why) {
    return WriteFileAtomically(path, FormatStations(stations), false, why);
}

ScanTick NextScanTick(int value, const QString& stepTag, int low, int high) {
    const long long next = static_cast<long long>(value) + ValInt(stepTag);
    if (next < low || next > high || next == value) return {value, true};
    return {static_cast<int>(next), false};
}

}  // namespace kestrova
