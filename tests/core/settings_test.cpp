#include "core/settings.h"

#include "kestrova_test.h"

#include <QDir>
#include <QFile>

using namespace kestrova;
using kestrova::test::KestrovaTest;

using Settings = KestrovaTest;

TEST_F(Settings, SavedValuesReadBackPerApplicationSectionAndKey) {
    EXPECT_EQ(GetSetting(SettingsAppVC, "JPEG", "Compression", "90"), QStringLiteral("90"));
    SaveSetting(SettingsAppVC, "JPEG", "Compression", "75");
    SaveSetting(SettingsAppKestrova, "JPEG", "Compression", "10");
    SaveSetting(SettingsAppTitle(), "WebShare", "Port", "8080");
    SaveSetting(SettingsAppKestrova, "Video Kestrova", "Path", "/opt/kestrova/");
    EXPECT_EQ(GetSetting(SettingsAppVC, "JPEG", "Compression", "90"), QStringLiteral("75"));
    EXPECT_EQ(GetSetting(SettingsAppKestrova, "JPEG", "Compression"), QStringLiteral("10"));
    EXPECT_EQ(GetSetting(SettingsAppTitle(), "WebShare", "Port", "80"), QStringLiteral("8080"));
    EXPECT_EQ(GetSetting(SettingsAppKestrova, "Video Kestrova", "Path"), QStringLiteral("/opt/kestrova/"));
    EXPECT_EQ(GetSetting(SettingsAppVC, "JPEG", "Other", "x"), QStringLiteral("x"));

    // One INI file per application name in the user's config folder.
    for (const QString& app : {SettingsAppVC, SettingsAppKestrova, SettingsAppTitle()}) {
        EXPECT_TRUE(QFile::exists(configFolder() + "/kestrova/" + app + ".ini")) << app.toStdString();
    }
}

TEST_F(Settings, TextsKeepTheirCharacters) {
    const QString awkward = QStringLiteral("a, b; c = \"d\" @e ü %20");
    SaveSetting(SettingsAppTitle(), "System", "LastDevice", awkward);
    EXPECT_EQ(GetSetting(SettingsAppTitle(), "System", "LastDevice"), awkward);
    SaveSetting(SettingsAppTitle(), "System", "LastDevice", QString());
    EXPECT_EQ(GetSetting(SettingsAppTitle(), "System", "LastDevice", "default"), QString());
}

TEST_F(Settings, TheConfigFolderIsFoundAtEachCall) {
    SaveSetting(SettingsAppVC, "MD", "SENSE", "9");
    const QString other = tempPath("other-config");
    QDir().mkpath(other);
    qputenv("XDG_CONFIG_HOME", other.toUtf8());
    EXPECT_EQ(GetSetting(SettingsAppVC, "MD", "SENSE", "5"), QStringLiteral("5"));
    SaveSetting(SettingsAppVC, "MD", "SENSE", "3");
    EXPECT_TRUE(QFile::exists(other + "/kestrova/VC.ini"));
}

TEST_F(Settings, AnUnusableStoreGivesDefaultsAndIgnoresWrites) {
    // A config "folder" that is a file cannot hold the store, even for root.
    const QString blocked = tempPath("not-a-folder");
    QFile file(blocked);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    qputenv("XDG_CONFIG_HOME", blocked.toUtf8());
    SaveSetting(SettingsAppVC, "MD", "SENSE", "9");
    EXPECT_EQ(GetSetting(SettingsAppVC, "MD", "SENSE", "5"), QStringLiteral("5"));
}

TEST_F(Settings, ACorruptFileKeepsWhatItCanRead) {
    QDir().mkpath(configFolder() + "/kestrova");
    QFile file(configFolder() + "/kestrova/VC.ini");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    static const char corrupt[] = "\x00\xff\xfe garbage [[[\n[MD]\nSENSE=7\n=\n[JPEG\nCompression=x\n";
    file.write(corrupt, sizeof corrupt - 1);
    file.close();
    EXPECT_EQ(GetSetting(SettingsAppVC, "MD", "SENSE", "5"), QStringLiteral("7"));
    EXPECT_EQ(GetSetting(SettingsAppVC, "NET", "HANGUP", "1"), QStringLiteral("1"));
    SaveSetting(SettingsAppVC, "NET", "HANGUP", "0");
    EXPECT_EQ(GetSetting(SettingsAppVC, "NET", "HANGUP", "1"), QStringLiteral("0"));
}
