// Scanners through SANE's own "test" backend in a private configuration: listing, pictures in each
// of its formats, and the failures a user can meet. SANE keeps the configuration it first read for
// the whole process, so each test has one (ctest runs every test in a process of its own).

#include "platform/scanner_library.h"

#include "kestrova_test.h"
#include "sane_test_config.h"
#include "wait_until.h"

#include <QDir>
#include <QSet>

#include <algorithm>

using namespace kestrova;
using kestrova::test::SaneTestConfig;
using kestrova::test::WaitUntil;

namespace {

class ScannerLibrary : public kestrova::test::KestrovaTest {
protected:
    QString configFolder(const char* name) const {
        const QString folder = tempPath(QString::fromLatin1(name));
        QDir().mkpath(folder);
        return folder;
    }
};

}  // namespace


TEST_F(ScannerLibrary, ListsTheConfiguredScanners) {
    SaneTestConfig sane(configFolder("two"), "test\n", "number_of_devices 2\n");
    const ScannerList list = ListScanners();
    EXPECT_TRUE(list.error.isEmpty()) << list.error.toStdString();
    ASSERT_EQ(list.devices.size(), 2u);
    EXPECT_EQ(list.devices[0].name, "test:0");
    EXPECT_EQ(list.devices[1].label(), "Noname frontend-tester (test:1)");
}

TEST_F(ScannerLibrary, WithoutABackendNothingIsListedAndAScanSaysSo) {
    SaneTestConfig none(configFolder("none"), "");
    EXPECT_TRUE(ListScanners().devices.empty());
    const ScanOutcome outcome = ScanPicture(QString());
    EXPECT_EQ(outcome.failure, ScanFailure::NoScanner);
    EXPECT_TRUE(outcome.picture.isNull());
    EXPECT_EQ(ScanFailureText(outcome), "No scanner was found");
}

TEST_F(ScannerLibrary, EveryFormatOfTheTestScannerBecomesItsPicture) {
    SaneTestConfig sane(configFolder("formats"), "test\n");
    struct Case {
        ScanOptions options;
        QRgb colour;
    };
    const QString white = QStringLiteral("Solid white");
    const QString black = QStringLiteral("Solid black");
    const Case cases[] = {
        {{{"mode", "Gray"}, {"depth", "8"}, {"test-picture", white}}, qRgb(255, 255, 255)},
        {{{"mode", "Gray"}, {"depth", "16"}, {"test-picture", black}}, qRgb(0, 0, 0)},
        {{{"mode", "Gray"}, {"depth", "1"}, {"test-picture", black}}, qRgb(0, 0, 0)},
        {{{"mode", "Gray"}, {"depth", "1"}, {"test-picture", white}}, qRgb(255, 255, 255)},
        {{{"mode", "Color"}, {"depth", "8"}, {"test-picture", white}}, qRgb(255, 255, 255)},
        {{{"mode", "Color"}, {"depth", "16"}, {"test-picture", black}}, qRgb(0, 0, 0)},
        {{{"mode", "Color"}, {"depth", "8"}, {"three-pass", "true"}, {"test-picture", white}}, qRgb(255, 255, 255)},
    };
    for (const Case& each : cases) {
        QStringList settings;
        for (const auto& [name, value] : each.options) settings << name + "=" + value;
        const std::string described = settings.join(" ").toStdString();
        std::atomic<int> percent{0};
        const ScanOutcome outcome = ScanPicture(QStringLiteral("test:0"), each.options, nullptr, &percent);
        ASSERT_EQ(outcome.failure, ScanFailure::None) << described << " " << ScanFailureText(outcome).toStdString();
        EXPECT_EQ(outcome.picture.size(), QSize(SaneTestConfig::Width, SaneTestConfig::Height)) << described;
        EXPECT_EQ(outcome.picture.pixel(0, 0), each.colour) << described;
        EXPECT_EQ(outcome.picture.pixel(SaneTestConfig::Width - 1, SaneTestConfig::Height - 1), each.colour) << described;
        EXPECT_EQ(percent.load(), 100) << described;
    }
    // The colour pattern is no single colour: the frames are not mixed up.
    const ScanOutcome pattern = ScanPicture(QString(), {{"mode", "Color"}, {"three-pass", "true"}, {"test-picture", "Color pattern"}});
    ASSERT_FALSE(pattern.picture.isNull());
    QSet<QRgb> colours;
    for (int y = 0; y < pattern.picture.height(); ++y) {
        for (int x = 0; x < pattern.picture.width(); ++x) colours.insert(pattern.picture.pixel(x, y));
    }
    EXPECT_GE(colours.size(), 6) << "the pattern's colours, not one plane repeated";
    EXPECT_TRUE(std::any_of(colours.begin(), colours.end(), [](QRgb c) { return qRed(c) != qGreen(c) || qGreen(c) != qBlue(c); }));
}

TEST_F(ScannerLibrary, AMissingDeviceOrSettingSaysWhy) {
    SaneTestConfig sane(configFolder("missing"), "test\n");
    const ScanOutcome missing = ScanPicture(QStringLiteral("test:7"));
    EXPECT_EQ(missing.failure, ScanFailure::OpenFailed);
    EXPECT_TRUE(ScanFailureText(missing).startsWith("Cannot open the scanner: test:7: ")) << ScanFailureText(missing).toStdString();
    for (const ScanOptions& options : std::vector<ScanOptions>{{{"no-such-option", "1"}}, {{"mode", "Sepia"}}, {{"resolution", "many"}}}) {
        const ScanOutcome outcome = ScanPicture(QString(), options);
        EXPECT_EQ(outcome.failure, ScanFailure::BadOption) << options[0].first.toStdString();
        EXPECT_EQ(ScanFailureText(outcome), "The scanner does not take the setting: " + options[0].first + "=" + options[0].second);
    }
}

TEST_F(ScannerLibrary, ACancelledScanGivesNoPicture) {
    // A large picture: it is still being read when Cancel comes.
    SaneTestConfig sane(configFolder("large"), "test\n", "mode Color\nresolution 300\nbr_x 200.0\nbr_y 200.0\n");
    const std::atomic<bool> cancelled{true};
    EXPECT_EQ(ScanPicture(QString(), {}, &cancelled).failure, ScanFailure::Cancelled);

    const std::shared_ptr<ScannerTask> task = ScannerTask::scanning(QString());
    task->cancel();
    ASSERT_TRUE(WaitUntil([&] { return task->finished(); }, 10000));
    EXPECT_EQ(task->outcome().failure, ScanFailure::Cancelled);
    EXPECT_TRUE(task->outcome().picture.isNull());
    EXPECT_EQ(ScanFailureText(task->outcome()), "The scan was cancelled");
}
