// The "Audio Detector" window over the Test Tone: the stored limit, and the trigger firing once,
// only when armed and only for a tone louder than the limit.

#include "detectors/audio_detector.h"

#include "core/settings.h"
#include "platform/sound_scope.h"

#include "kestrova_test.h"
#include "wait_until.h"

#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>

using namespace kestrova;

namespace {

class AudioDetectorTest : public test::KestrovaTest {
protected:
    // A window listening to the Test Tone, with the given limit.
    QPointer<AudioDetector> open(int limit) {
        QPointer<AudioDetector> window = new AudioDetector;
        auto* devices = window->findChild<QComboBox*>("SoundDevice");
        devices->setCurrentIndex(devices->count() - 1);
        window->findChild<QSlider*>("Limit")->setValue(limit);
        window->show();
        return window;
    }
    void TearDown() override {
        delete window;
        KestrovaTest::TearDown();
    }
    QPointer<AudioDetector> window;
};

}  // namespace

TEST_F(AudioDetectorTest, TheLimitComesFromTheSettingsAndIsStoredAtOnce) {
    SaveSetting(SettingsAppTitle(), "System", "SoundLimit", "37");
    window = new AudioDetector;
    auto* limit = window->findChild<QSlider*>("Limit");
    EXPECT_EQ(limit->value(), 37);
    EXPECT_EQ(window->findChild<QLabel*>("LimitText")->text(), "Limit: 37%");
    EXPECT_EQ(window->scope()->limit(), 37);
    EXPECT_TRUE(window->scope()->active());
    EXPECT_EQ(window->findChild<QComboBox*>("SoundDevice")->currentIndex(), 0);
    EXPECT_EQ(window->findChild<QComboBox*>("SoundDevice")->count(), window->scope()->deviceCount());

    limit->setValue(64);
    EXPECT_EQ(GetSetting(SettingsAppTitle(), "System", "SoundLimit"), "64");
    EXPECT_EQ(window->scope()->limit(), 64);
    delete window;

    SaveSetting(SettingsAppTitle(), "System", "SoundLimit", "loud");
    window = new AudioDetector;
    EXPECT_EQ(window->findChild<QSlider*>("Limit")->value(), 80) << "a stored text that is not a number";
}

TEST_F(AudioDetectorTest, ALoudToneStartsOnceOnlyAfterArmingAndTheWindowGoes) {
    window = open(TestToneLevel - 10);
    QSignalSpy triggered(window.data(), &AudioDetector::triggered);
    QSignalSpy reached(window->scope(), &SoundScope::limitReached);
    ASSERT_TRUE(test::WaitUntil([&] { return !reached.isEmpty(); }, 5000));
    EXPECT_TRUE(triggered.isEmpty()) << "not armed yet";
    EXPECT_FALSE(window->armed());

    window->findChild<QPushButton*>("StartCapture")->click();
    EXPECT_TRUE(window->armed());
    ASSERT_TRUE(test::WaitUntil([&] { return !triggered.isEmpty(); }, 5000));
    ASSERT_TRUE(test::WaitUntil([&] { return window.isNull(); }, 2000)) << "the window closes once it fired";
    EXPECT_EQ(triggered.size(), 1);
}

TEST_F(AudioDetectorTest, AToneQuieterThanTheLimitStartsNothing) {
    window = open(TestToneLevel + 10);
    QSignalSpy triggered(window.data(), &AudioDetector::triggered);
    window->findChild<QPushButton*>("StartCapture")->click();
    int loudest = 0;
    test::WaitUntil([&] {
        loudest = std::max(loudest, window->scope()->level());
        return false;
    }, 2500);
    EXPECT_EQ(loudest, TestToneLevel) << "the tone was heard";
    EXPECT_TRUE(triggered.isEmpty());
    EXPECT_FALSE(window.isNull());
}
