#include "core/folders.h"
#include "core/global_state.h"
#include "core/settings.h"
#include "core/startup.h"

#include "kestrova_test.h"

#include <QDate>
#include <QDir>
#include <QLocale>
#include <QRegularExpression>

using namespace kestrova;
using kestrova::test::KestrovaTest;

TEST(VersionText, FollowsTheCaptionRule) {
    const struct {
        int major, minor, revision;
        const char* caption;
    } cases[] = {
        {9, 4, 935, "Video Kestrova 2009 Version 9.04 Build 935"},
        {9, 12, 1, "Video Kestrova 2009 Version 9.12 Build 1"},
        {9, 4, 0, "Video Kestrova 2009 Version 9.04 Build "},
        {10, 0, 7, "Video Kestrova 2009 Version 10.00 Build 7"},
        {-1, 4, 2, "Video Kestrova 2009 Version-1.04 Build 2"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BuildVersionText(QStringLiteral("Video Kestrova 2009"), c.major, c.minor, c.revision),
                  QString::fromLatin1(c.caption));
    }
}

TEST(Folders, ProgramFolderEndsInASeparator) {
    const std::pair<const char*, const char*> cases[] = {
        {"/opt/kestrova", "/opt/kestrova/"},
        {"/", "/"},
        {"/opt/kestrova/", "/opt/kestrova/"},
        {"\\\\?\\C:\\Program", "C:\\Program/"},
    };
    for (const auto& [path, folder] : cases) EXPECT_EQ(ProgramFolderFrom(path), QString::fromLatin1(folder)) << path;
}

TEST(Folders, NewerWindowsMeansAboveFivePointZero) {
    const std::pair<const char*, bool> cases[] = {
        {"5.0", false}, {"5.1", true}, {"6.0", true}, {"", false}, {"4.19", false}, {"6.1", true},
    };
    for (const auto& [version, newer] : cases) EXPECT_EQ(IsNewerWindows(version), newer) << version;
    // The running kernel: "major.minor", plain numbers.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d+\\.\\d+$")).match(WindowsVersion()).hasMatch());
}

using Startup = KestrovaTest;

TEST_F(Startup, DefaultsComeFromTheProfileFolder) {
    Vars.AppFolder.clear();
    SetStartDefaults();
    EXPECT_EQ(Vars.VersionText, QStringLiteral("Video Kestrova 2009 Version 9.04 Build 935"));
    EXPECT_EQ(Vars.AppFolder, homeFolder());
    EXPECT_EQ(Vars.CaptureFileName, homeFolder() + "kestrova.avi");
    EXPECT_EQ(Vars.PreviewRate, 10);
    EXPECT_EQ(Vars.AutostartHours, 0);
    EXPECT_EQ(Vars.AutostartMinutes, 0);
    EXPECT_EQ(Vars.AutostartSeconds, 10);
    EXPECT_FALSE(Vars.HomePageAddress.isEmpty());
    EXPECT_TRUE(Vars.NewerWindows);  // every supported kernel is 3.x or later
}

TEST_F(Startup, AMissingProfileFolderIsCreated) {
    const QString home = tempPath("new/profile");
    qputenv("KESTROVA_HOME", home.toUtf8());
    SetStartDefaults();
    EXPECT_EQ(Vars.AppFolder, home + "/");
    EXPECT_TRUE(QDir(home).exists());
}

TEST_F(Startup, WritesTheRunningVersionAndFolder) {
    SetStartDefaults();
    WriteStartSettings();
    const QString section = QStringLiteral("Video Kestrova");
    EXPECT_EQ(GetSetting(SettingsAppKestrova, section, "Version"), QStringLiteral("9.4"));
    EXPECT_EQ(GetSetting(SettingsAppKestrova, section, "Build"), QStringLiteral("935"));
    EXPECT_EQ(GetSetting(SettingsAppKestrova, section, "Path"), homeFolder());
    EXPECT_EQ(GetSetting(SettingsAppKestrova, section, "Date"),
              QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));
    EXPECT_FALSE(GetSetting(SettingsAppKestrova, section, "Time").isEmpty());
}

TEST_F(Startup, PreferencesOfAFirstRun) {
    ReadStartPreferences();
    EXPECT_EQ(Vars.JpegQuality, 100);
    EXPECT_EQ(Vars.MotionTolerance, 5);
    EXPECT_EQ(Vars.AVIInfo[9], QStringLiteral("1"));
    EXPECT_EQ(Vars.AVIInfo[7], QString());
    EXPECT_EQ(Vars.AVIInfo[8], QString());
}

TEST_F(Startup, StoredPreferencesAndValuesThatAreNotNumbers) {
    SaveSetting(SettingsAppVC, "VC", "PUMV", "1");
    SaveSetting(SettingsAppVC, "VC", "AP", "0");
    SaveSetting(SettingsAppVC, "VC", "ES", "0");
    SaveSetting(SettingsAppVC, "JPEG", "Compression", "high");
    SaveSetting(SettingsAppVC, "MD", "SENSE", " 12 percent");
    ReadStartPreferences();
    EXPECT_EQ(Vars.AVIInfo[7], QStringLiteral("1"));
    EXPECT_EQ(Vars.AVIInfo[8], QStringLiteral("0"));
    EXPECT_EQ(Vars.AVIInfo[9], QStringLiteral("0"));
    EXPECT_EQ(Vars.JpegQuality, 0);  // no correction is made
    EXPECT_EQ(Vars.MotionTolerance, 12);
}

TEST_F(Startup, TempFolderFollowsTheTempVariable) {
    qputenv("temp", tempPath("scratch").toUtf8());
    EXPECT_EQ(TempFolder(), tempPath("scratch") + "/");
    qunsetenv("temp");
    EXPECT_EQ(TempFolder(), QDir::tempPath() + "/");
}
