// The TV tuner band over a fake TV card: shown only for a device with a tuner, tuning from the
// slider and the stations menu, scanning, stations added and removed, country and input, and the
// stations file read at the load and written at the close.

#include "mainwindow/master.h"

#include "capture/video_screen.h"
#include "core/global_state.h"
#include "ui/keyed.h"

#include "fake_tv_card.h"
#include "kestrova_test.h"
#include "wait_until.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

using namespace kestrova;
using kestrova::test::WaitUntil;

namespace {

class TunerBand : public kestrova::test::KestrovaTest {
protected:
    void SetUp() override {
        KestrovaTest::SetUp();
        Vars.AppFolder = homeFolder();
        master = new Master;
        master->setAttribute(Qt::WA_DeleteOnClose);
        master->freeSpace = [](const QString&) { return 1e10; };
        master->show();
        card = test::InstallFakeTvCard(*master->videoScreen()->wdmX());
        QObject::connect(master->videoScreen(), &VideoScreen::initialized, [this] { ++initialized; });
    }
    void TearDown() override {
        delete master.data();
        KestrovaTest::TearDown();
    }
    void connect(int index, const char* name) {
        const int before = initialized;
        master->videoScreen()->ConnectVideoCaptureDevice(index, "wdm", name);
        ASSERT_TRUE(WaitUntil([&] { return initialized > before; }, 5000));
    }
    QAction* button(const char* key) const { return FindKeyed<QAction>(master->tunerBar(), key); }
    QStringList entries() const {
        QStringList texts;
        for (const Station& station : master->stations()) texts << station.key + "=" + station.text;
        return texts;
    }
    // Ticks the scan timer as its 500 ms would, until it stops; the number of ticks.
    int scan(const char* key) {
        button(key)->trigger();
        int ticks = 0;
        while (master->tunerTimer().isActive() && ticks < 200) {
            master->tunerTick();
            ++ticks;
        }
        return ticks;
    }

    QPointer<Master> master;
    std::shared_ptr<test::FakeTvCard> card;
    int initialized = 0;
};

}  // namespace

TEST_F(TunerBand, ShownForADeviceWithATunerAndTunedFromItsControls) {
    EXPECT_TRUE(master->tunerBar()->isHidden());
    EXPECT_FALSE(master->toolbarsItem(8)->isVisible());
    connect(0, "TV Card");
    EXPECT_FALSE(master->tunerBar()->isHidden());
    EXPECT_TRUE(master->toolbarsItem(8)->isVisible());
    QScrollBar& slider = *master->tunerSlider();
    EXPECT_EQ(slider.minimum(), 2);
    EXPECT_EQ(slider.maximum(), 69) << "country 1, antenna";
    EXPECT_TRUE(button("tuner_antena")->isChecked());
    EXPECT_FALSE(button("tuner_cable")->isChecked());
    EXPECT_EQ(master->tunerTimer().interval(), 500);
    master->resize(800, 600);
    master->SetCaptureMode("movie");
    ASSERT_TRUE(WaitUntil([&] { return master->tunerBar()->width() > 0; }, 1000));
    const auto* more = master->tunerBar()->findChild<QToolButton*>("qt_toolbar_ext_button");
    EXPECT_FALSE(more && more->isVisible()) << "every tuner control fits the default window";

    slider.setValue(7);
    EXPECT_EQ(card->tuned.back(), 175250000);
    EXPECT_EQ(master->channelLabel()->text(), "Channel: 7");

    // Scanning stops on the first channel with a picture, or at an end of the range.
    card->strength = {{193250000, 90}};  // channel 10
    EXPECT_EQ(scan("tuner_up"), 3);
    EXPECT_EQ(slider.value(), 10);
    EXPECT_EQ(master->tunerTimer().property("Tag").toString(), "1");
    EXPECT_EQ(scan("tuner_down"), 9) << "eight steps and one that finds the end";
    EXPECT_EQ(slider.value(), 2) << "nothing below: it stops at the lowest channel";
    slider.setValue(69);
    const size_t tunedBefore = card->tuned.size();
    EXPECT_EQ(scan("tuner_up"), 1) << "from the highest channel one tick";
    EXPECT_EQ(slider.value(), 69);
    EXPECT_EQ(card->tuned.size(), tunedBefore + 1);

    button("tuner_cable")->trigger();
    EXPECT_TRUE(button("tuner_cable")->isChecked());
    EXPECT_FALSE(button("tuner_antena")->isChecked());
    EXPECT_EQ(master->videoScreen()->wdmX()->TunerInput(), 1);
    EXPECT_EQ(slider.maximum(), 125) << "the cable plan has more channels";
    button("tuner_antena")->trigger();
    EXPECT_EQ(master->videoScreen()->wdmX()->TunerInput(), 2);
    EXPECT_FALSE(button("tuner_cable")->isChecked());

    prompts->inputAnswers = {QString("+44"), QString(""), std::nullopt};
    button("tuner_country")->trigger();
    ASSERT_EQ(prompts->shown.size(), 1u);
    EXPECT_EQ(prompts->shown[0].text, "Enter your telephone country code (ex: Portugal +351)\r\nThis will this will setup the "
                                      "color system and the frequency settings of the tuner.");
    EXPECT_EQ(prompts->shown[0].title, "Video Kestrova 2009");
    EXPECT_EQ(master->videoScreen()->wdmX()->TunerCountry(), 44);
    button("tuner_country")->trigger();
    EXPECT_EQ(master->videoScreen()->wdmX()->TunerCountry(), 0) << "an empty answer passes 0";
    button("tuner_country")->trigger();
    EXPECT_EQ(master->videoScreen()->wdmX()->TunerCountry(), 0) << "Cancel changes nothing";

    connect(1, "Test Pattern");
    EXPECT_TRUE(master->tunerBar()->isHidden()) << "no tuner, no band";
    EXPECT_FALSE(master->toolbarsItem(8)->isVisible());
}

TEST_F(TunerBand, StationsAreAddedRemovedChosenAndKeptInTheFile) {
    QFile file(homeFolder() + "TVTuner.ini");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("S2\tFirst\r\nS9\tSecond\r\n");
    file.close();
    master->Load();
    connect(0, "TV Card");
    EXPECT_EQ(entries(), (QStringList{"S2=First", "S9=Second"}));

    master->stationsMenu()->actions()[1]->trigger();
    EXPECT_EQ(master->tunerSlider()->value(), 9);
    EXPECT_EQ(card->tuned.back(), 187250000);
    EXPECT_EQ(master->channelLabel()->text(), "Channel: 9");

    master->tunerSlider()->setValue(7);
    prompts->inputAnswers = {QString(""), QString("Again"), std::nullopt, QString("R&D\tNews")};
    button("tuner_add")->trigger();
    EXPECT_EQ(prompts->shown.back().text, "Enter the name of the station:");
    button("tuner_add")->trigger();  // a channel already kept stays as it is
    master->tunerSlider()->setValue(5);
    button("tuner_add")->trigger();  // cancelled
    button("tuner_add")->trigger();
    EXPECT_EQ(entries(), (QStringList{"S2=First", "S9=Second", "S7=Channel 7", "S5=R&D News"}));
    EXPECT_EQ(master->stationsMenu()->actions()[3]->text(), "R&&D News") << "shown as typed, no shortcut";

    master->tunerSlider()->setValue(3);
    button("tuner_remove")->trigger();
    master->tunerSlider()->setValue(2);
    button("tuner_remove")->trigger();
    EXPECT_EQ(entries(), (QStringList{"S9=Second", "S7=Channel 7", "S5=R&D News"}));

    // Before the second station is chosen again, the slider is elsewhere; after it, on 9.
    master->tunerSlider()->setValue(9);
    master->stationsMenu()->actions()[0]->trigger();
    EXPECT_EQ(card->tuned.back(), 187250000) << "choosing the channel shown tunes it again";

    QTimer::singleShot(0, [this] { master->findChild<QAction*>("mnuExit")->trigger(); });
    EXPECT_EQ(QCoreApplication::exec(), 0);
    Vars.ShuttingDown = false;
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("S9\tSecond\r\nS7\tChannel 7\r\nS5\tR&D News\r\n"));
}
