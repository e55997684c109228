#include "mainwindow/preferences.h"

#include "core/global_state.h"
#include "core/settings.h"
#include "core/startup.h"

#include "kestrova_test.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>

using namespace kestrova;
using kestrova::test::KestrovaTest;

namespace {

class PreferencesWindow : public KestrovaTest {
protected:
    template <typename T>
    T* control(const char* name) {
        T* widget = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QString stored(const char* section, const char* key) { return GetSetting(SettingsAppVC, section, key, "absent"); }

    Preferences window;
};

}  // namespace

TEST_F(PreferencesWindow, FirstRunShowsJpeg90WhileTheProgramUses100) {
    ReadStartPreferences();
    window.LoadValues();
    EXPECT_EQ(Vars.JpegQuality, 100);
    EXPECT_EQ(control<QSlider>("JpegCompression")->value(), 90);
    EXPECT_EQ(control<QSlider>("Motion")->value(), 5);
    EXPECT_TRUE(control<QCheckBox>("OverwriteQuestion")->isChecked());
    EXPECT_TRUE(control<QCheckBox>("HangUp")->isChecked());
    EXPECT_TRUE(control<QCheckBox>("ESounds")->isChecked());
    EXPECT_FALSE(control<QCheckBox>("PopUpViewer")->isChecked());
    EXPECT_FALSE(control<QCheckBox>("Autoplay")->isChecked());
}

TEST_F(PreferencesWindow, OkStoresFiveSettingsAndSetsTheFlagsInMemory) {
    ReadStartPreferences();
    window.LoadValues();
    window.show();
    control<QCheckBox>("PopUpViewer")->setChecked(true);
    control<QCheckBox>("Autoplay")->setChecked(true);
    control<QCheckBox>("ESounds")->setChecked(false);
    control<QSlider>("JpegCompression")->setValue(55);
    control<QSlider>("Motion")->setValue(12);
    control<QCheckBox>("OverwriteQuestion")->setChecked(false);
    control<QCheckBox>("HangUp")->setChecked(false);
    control<QPushButton>("ok")->click();

    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(Vars.AVIInfo[7], QStringLiteral("1"));
    EXPECT_EQ(Vars.AVIInfo[8], QStringLiteral("1"));
    EXPECT_EQ(Vars.AVIInfo[9], QStringLiteral("0"));
    EXPECT_EQ(Vars.JpegQuality, 55);
    EXPECT_EQ(Vars.MotionTolerance, 12);
    EXPECT_EQ(stored("JPEG", "Compression"), QStringLiteral("55"));
    EXPECT_EQ(stored("MD", "SENSE"), QStringLiteral("12"));
    EXPECT_EQ(stored("MD", "OQ"), QStringLiteral("0"));
    EXPECT_EQ(stored("NET", "HANGUP"), QStringLiteral("0"));
    // The flags wait for the main window to close.
    EXPECT_EQ(stored("VC", "PUMV"), QStringLiteral("absent"));

    Preferences reopened;
    reopened.LoadValues();
    const PreferenceValues expected{true, true, false, 55, 12, 0, 0};
    EXPECT_EQ(reopened.values(), expected);
}

TEST_F(PreferencesWindow, CancelStoresNothingAndKeepsTheFlags) {
    Vars.AVIInfo[7] = "1";
    Vars.AVIInfo[8] = "yes";  // anything but "1" is off
    Vars.AVIInfo[9] = "1";
    Vars.JpegQuality = 100;
    window.LoadValues();
    EXPECT_FALSE(control<QCheckBox>("Autoplay")->isChecked());
    window.show();
    control<QCheckBox>("PopUpViewer")->setChecked(false);
    control<QSlider>("JpegCompression")->setValue(10);
    control<QPushButton>("cancelar")->click();

    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(Vars.AVIInfo[7], QStringLiteral("1"));
    EXPECT_EQ(Vars.AVIInfo[8], QStringLiteral("yes"));
    EXPECT_EQ(Vars.JpegQuality, 100);
    EXPECT_EQ(stored("JPEG", "Compression"), QStringLiteral("absent"));
}

TEST_F(PreferencesWindow, StoredValuesThatAreNotNumbersReadAsZero) {
    SaveSetting(SettingsAppVC, "MD", "OQ", "no");
    SaveSetting(SettingsAppVC, "NET", "HANGUP", "0");
    SaveSetting(SettingsAppVC, "MD", "SENSE", "15");
    const PreferenceValues v = LoadPreferenceValues();
    EXPECT_EQ(v.overwriteQuestion, 0);
    EXPECT_EQ(v.hangUp, 0);
    EXPECT_EQ(v.motion, 15);
    EXPECT_EQ(v.jpegCompression, 90);
}

TEST_F(PreferencesWindow, CaptionsRangesAndGroups) {
    EXPECT_EQ(control<QCheckBox>("PopUpViewer")->text(), QStringLiteral("Pop-Up Movie Viewer after capture"));
    EXPECT_EQ(control<QCheckBox>("Autoplay")->text(), QStringLiteral("Autoplay  "));
    EXPECT_EQ(control<QCheckBox>("ESounds")->text(), QStringLiteral("Enable system sounds"));
    EXPECT_EQ(control<QCheckBox>("OverwriteQuestion")->text(), QStringLiteral("Pop-Up overwrite file question"));
    EXPECT_EQ(control<QCheckBox>("HangUp")->text(), QStringLiteral("Hang Up when image upload is finished"));
    auto* jpeg = control<QSlider>("JpegCompression");
    EXPECT_EQ(std::make_tuple(jpeg->minimum(), jpeg->maximum(), jpeg->pageStep()), std::make_tuple(1, 100, 10));
    auto* motion = control<QSlider>("Motion");
    EXPECT_EQ(std::make_tuple(motion->minimum(), motion->maximum(), motion->pageStep()), std::make_tuple(1, 15, 5));

    QStringList groups;
    auto* tabs = control<QTabWidget>("Tabs");
    for (int i = 0; i < tabs->count(); ++i) groups << tabs->tabText(i);
    EXPECT_EQ(groups, (QStringList{"Movie Viewer", "Sound", "Motion Detector Tolerance", "Other",
                                   "Internet Broadcast", "JPEG Compression"}));
    QStringList labels;
    for (const QLabel* label : window.findChildren<QLabel*>()) labels << label->text();
    for (const char* text : {"More Quality", "More Compression", "Increase Sensivity", "Decrease Sensivity"}) {
        EXPECT_TRUE(labels.contains(QString::fromLatin1(text))) << text;
    }
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
}
