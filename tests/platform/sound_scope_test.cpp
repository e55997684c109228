// The sound level meter: the level of a block of samples, and the built-in Test Tone measured on
// the meter's own thread.

#include "platform/sound_scope.h"

#include "kestrova_test.h"
#include "wait_until.h"

#include <QSignalSpy>

#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

using namespace kestrova;

namespace {

template <typename Sample>
QByteArray Bytes(std::initializer_list<Sample> samples) {
    std::vector<Sample> values(samples);
    return QByteArray(reinterpret_cast<const char*>(values.data()), qsizetype(values.size() * sizeof(Sample)));
}

QAudioFormat Format(QAudioFormat::SampleFormat sampleFormat, int channels = 1) {
    QAudioFormat format;
    format.setSampleRate(44100);
    format.setChannelCount(channels);
    format.setSampleFormat(sampleFormat);
    return format;
}

}  // namespace

TEST(PeakPercent, IsThePeakOfEverySampleInPercentOfFullScale) {
    const struct {
        const char* what;
        QAudioFormat format;
        QByteArray data;
        int percent;
    } cases[] = {
        {"silence", Format(QAudioFormat::Int16), Bytes<qint16>({0, 0, 0}), 0},
        {"the loudest sample counts, negative too", Format(QAudioFormat::Int16), Bytes<qint16>({1000, -16384, 200}), 50},
        {"full scale below zero", Format(QAudioFormat::Int16), Bytes<qint16>({0, -32768}), 100},
        {"both channels of a stereo frame", Format(QAudioFormat::Int16, 2), Bytes<qint16>({0, 32767}), 100},
        {"8-bit silence is the middle", Format(QAudioFormat::UInt8), Bytes<quint8>({128, 128}), 0},
        {"8-bit full scale", Format(QAudioFormat::UInt8), Bytes<quint8>({128, 0}), 100},
        {"32-bit", Format(QAudioFormat::Int32), Bytes<qint32>({std::numeric_limits<qint32>::max() / 4}), 25},
        {"float", Format(QAudioFormat::Float), Bytes<float>({0.25f, -0.8f}), 80},
        {"float beyond full scale", Format(QAudioFormat::Float), Bytes<float>({3.0f}), 100},
        {"no samples", Format(QAudioFormat::Int16), QByteArray(), 0},
        {"half a sample", Format(QAudioFormat::Int16), QByteArray(1, '\x7f'), 0},
        {"an unknown sample format", QAudioFormat(), Bytes<qint16>({32767}), 0},
    };
    for (const auto& each : cases) {
        EXPECT_EQ(PeakPercent(each.format, each.data.constData(), each.data.size()), each.percent) << each.what;
    }
}

using SoundScopeTest = test::KestrovaTest;

TEST_F(SoundScopeTest, TheTestToneIsTheLastInputAndPeaksAtItsLevel) {
    SoundScope scope;
    ASSERT_GE(scope.deviceCount(), 1);
    EXPECT_EQ(scope.deviceName(scope.deviceCount() - 1), "Test Tone");
    EXPECT_EQ(scope.deviceName(scope.deviceCount()), QString());

    scope.setDevice(scope.deviceCount() - 1);
    scope.setLimit(TestToneLevel - 10);
    QSignalSpy reached(&scope, &SoundScope::limitReached);
    EXPECT_EQ(scope.level(), 0);
    scope.setActive(true);
    int loudest = 0;
    ASSERT_TRUE(test::WaitUntil([&] {
        loudest = std::max(loudest, scope.level());
        return !reached.isEmpty();
    }, 5000)) << "the tone beeps every second";
    EXPECT_EQ(loudest, TestToneLevel);
    EXPECT_TRUE(scope.problem().isEmpty());

    // Off, the meter says nothing more.
    scope.setActive(false);
    reached.clear();
    test::WaitUntil([] { return false; }, 1200);
    EXPECT_TRUE(reached.isEmpty());
    EXPECT_EQ(scope.level(), 0);
}
