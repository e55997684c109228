// The tuner's stations file, the answers of its input boxes and the scan's step.

#include "persistence/tuner_stations.h"

#include "kestrova_test.h"

#include <QFile>

using namespace kestrova;

namespace {

class TunerStationsTest : public kestrova::test::KestrovaTest {};

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

}  // namespace

TEST(TunerStations, LinesSplitAtTabsAndSkipWhatIsNoStation) {
    struct Case {
        const char* text;
        Stations stations;
    };
    const Case cases[] = {
        {"S2\tFirst\r\nS9\tSecond\r\n", {{"S2", "First"}, {"S9", "Second"}}},
        {"S2\tFirst\r\nS2\tAgain\r\n", {{"S2", "First"}}},                 // a repeated key keeps the first
        {"no tab\r\n\r\nS4\tFour", {{"S4", "Four"}}},                        // last line without CR LF still counts
        {"S5\tName\tmore\r\n", {{"S5", "Name"}}},                            // the second part is the name
        {"S6\t\r\n\tNoKey\r\n", {{"S6", ""}}},                               // an empty name stays, an empty key not
        {"S7\tLF only\nS8\tsame line\r\n", {{"S7", "LF only\nS8"}}},         // only CR LF ends a line
        {"", {}},
    };
    for (const Case& each : cases) {
        EXPECT_EQ(ParseStations(QString::fromUtf8(each.text)), each.stations) << each.text;
    }
}

TEST(TunerStations, KeysNamesAndCountryAnswers) {
    EXPECT_EQ(StationKey(7), QStringLiteral("S7"));
    for (const auto& [key, channel] : std::vector<std::pair<const char*, int>>{{"S5", 5}, {"S123", 123}, {"SS4S", 4}, {"Sx", 0}, {"", 0}}) {
        EXPECT_EQ(StationChannel(QString::fromLatin1(key)), channel) << key;
    }
    EXPECT_EQ(StationName(QString(), 7), QStringLiteral("Channel 7"));
    EXPECT_EQ(StationName(QStringLiteral("News\tOne\r\n"), 7), QStringLiteral("News One  "));
    for (const auto& [answer, code] : std::vector<std::pair<const char*, int>>{{"+44", 44}, {"", 0}, {"+1", 1}, {"++351", 351}, {"abc", 0}, {" 49", 49}}) {
        EXPECT_EQ(CountryCode(QString::fromLatin1(answer)), code) << answer;
    }

    Stations stations;
    EXPECT_TRUE(AddStation(stations, {StationKey(7), StationName(QString(), 7)}));
    EXPECT_FALSE(AddStation(stations, {StationKey(7), QStringLiteral("Other")}));
    EXPECT_TRUE(AddStation(stations, {StationKey(3), QStringLiteral("Three")}));
    EXPECT_FALSE(RemoveStation(stations, StationKey(9)));
    EXPECT_EQ(stations.size(), 2u);
    EXPECT_TRUE(RemoveStation(stations, StationKey(7)));
    EXPECT_EQ(stations, (Stations{{"S3", "Three"}}));
}

TEST(TunerStations, ScanStepsWithinTheRangeAndStopsAtItsEnds) {
    struct Case {
        int value;
        const char* tag;
        int low, high;
        ScanTick tick;
    };
    const Case cases[] = {
        {5, "1", 2, 69, {6, false}},  {5, "-1", 2, 69, {4, false}}, {69, "1", 2, 69, {69, true}},
        {2, "-1", 2, 69, {2, true}},  {5, "", 2, 69, {5, true}},    {2147483647, "1", 2, 2147483647, {2147483647, true}},
    };
    for (const Case& each : cases) {
        EXPECT_EQ(NextScanTick(each.value, QString::fromLatin1(each.tag), each.low, each.high), each.tick)
            << each.value << " " << each.tag;
    }
}

TEST_F(TunerStationsTest, FileIsWrittenWithCrLfAndReadBackAlsoFromOlderVersions) {
    const QString path = tempPath(QStringLiteral("TVTuner.ini"));
    EXPECT_TRUE(ReadStationsFile(path).empty()) << "a missing file gives no stations";

    const Stations stations = {{"S2", "First"}, {"S9", QStringLiteral("Télé Zürich")}};
    ASSERT_TRUE(WriteStationsFile(path, stations));
    EXPECT_EQ(readAll(path), QByteArray("S2\tFirst\r\nS9\tT\xC3\xA9l\xC3\xA9 Z\xC3\xBCrich\r\n"));
    EXPECT_EQ(ReadStationsFile(path), stations);
    ASSERT_TRUE(WriteStationsFile(path, {}));
    EXPECT_EQ(readAll(path), QByteArray()) << "an empty list empties the file";

    // Windows-1252 from the older program, and a byte-order mark some editors add.
    writeAll(path, "S4\tCaf\xE9 \x80\r\n");
    EXPECT_EQ(ReadStationsFile(path), (Stations{{"S4", QStringLiteral("Café €")}}));
    writeAll(path, "\xEF\xBB\xBFS4\tOne\r\n");
    EXPECT_EQ(ReadStationsFile(path), (Stations{{"S4", "One"}}));

    QString why;
    EXPECT_FALSE(WriteStationsFile(tempPath(QStringLiteral("missing/TVTuner.ini")), stations, &why));
    EXPECT_FALSE(why.isEmpty());
}
