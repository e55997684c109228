// The "RS232 Control" window: its texts, opening ports by number (a pseudo-terminal stands in for a
// serial port), and the lines' edges from scripted line states.

#include "detectors/rs232_window.h"

#include "core/settings.h"

#include "kestrova_test.h"
#include "wait_until.h"

#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStatusBar>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

using namespace kestrova;

namespace {

// The system's port list and the modem lines as a test says; opening and closing are real.
class ScriptedLine final : public SerialLine {
public:
    ScriptedLine(QList<SerialPortEntry> ports, ModemLines* lines) : ports_(std::move(ports)), lines_(lines) {}
    QList<SerialPortEntry> ports() const override { return ports_; }
    ModemLines lines() const override { return isOpen() ? *lines_ : ModemLines{}; }

private:
    QList<SerialPortEntry> ports_;
    ModemLines* lines_;
};

class RS232Test : public test::KestrovaTest {
protected:
    void SetUp() override {
        KestrovaTest::SetUp();
        master = posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(master, 0);
        ASSERT_EQ(grantpt(master), 0);
        ASSERT_EQ(unlockpt(master), 0);
        terminal = QString::fromLocal8Bit(ptsname(master));
    }
    void TearDown() override {
        window.reset();
        if (master >= 0) ::close(master);
        KestrovaTest::TearDown();
    }
    void open(QList<SerialPortEntry> ports) {
        window = std::make_unique<RS232>(std::make_unique<ScriptedLine>(std::move(ports), &lines));
        window->show();
    }
    QString status() const { return window->findChild<QStatusBar*>("RS232Status")->currentMessage(); }
    QLabel* label(int index) const { return window->findChild<QLabel*>(QStringLiteral("Labels%1").arg(index)); }

    int master = -1;
    QString terminal;
    ModemLines lines;
    std::unique_ptr<RS232> window;
};

}  // namespace

TEST_F(RS232Test, TheWindowOpensTheStoredPortNumberOfTheSystemsList) {
    SaveSetting(SettingsAppTitle(), "System", "SerialPort", "2");
    open({{"ttyS0", "/dev/kestrova-no-such-port"}, {"pts", terminal}});
    EXPECT_EQ(window->windowTitle(), "RS232 Control");
    EXPECT_EQ(label(0)->text(), "This trigger mode enables you to start/stop capture using a switch connected to a Serial Port");
    EXPECT_EQ(label(1)->text(), "Serial Port (COMx:):");
    EXPECT_EQ(label(2)->text(), "Start/Stop capture (CTS):");
    EXPECT_EQ(label(3)->text(), "Shutter (DSR):");
    EXPECT_EQ(window->findChild<QLineEdit*>("SerialPort")->text(), "2");
    EXPECT_EQ(window->findChild<QLabel*>("SystemPortName")->text(), "pts");
    EXPECT_EQ(status(), "Ready");
    EXPECT_EQ(label(4)->text(), "OFF");
    EXPECT_EQ(label(5)->text(), "OFF");
}

TEST_F(RS232Test, APortThatCannotBeOpenedSaysWhyAndTheWindowStaysUsable) {
    open({{"ttyS0", "/dev/kestrova-no-such-port"}, {"pts", terminal}});
    EXPECT_NE(status(), "Ready") << "port 1 is missing";
    EXPECT_FALSE(status().isEmpty());
    lines.cts = true;
    test::WaitUntil([] { return false; }, 3 * RS232::ScanIntervalMs);
    EXPECT_EQ(label(4)->text(), "OFF") << "a closed port shows its lines off";

    auto* number = window->findChild<QLineEdit*>("SerialPort");
    const struct {
        const char* typed;
        const char* status;
    } cases[] = {
        {"3", "There is no serial port 3: the system lists 2."},
        {"COM1", "Type the number of a serial port, 1 for the first."},
        {"0", "Type the number of a serial port, 1 for the first."},
        {"2", "Ready"},
    };
    for (const auto& each : cases) {
        number->setText(each.typed);
        EXPECT_EQ(status(), each.status) << each.typed;
    }
}

TEST_F(RS232Test, EachLineGoingOnAsksOnceAndIsShownInColour) {
    // A switch already closed when the port opens starts nothing.
    lines.dsr = true;
    open({{"pts", terminal}});
    ASSERT_EQ(status(), "Ready");
    QSignalSpy startStop(window.get(), &RS232::startStopRequested);
    QSignalSpy shutter(window.get(), &RS232::shutterRequested);
    test::WaitUntil([] { return false; }, 3 * RS232::ScanIntervalMs);
    EXPECT_EQ(label(5)->text(), "ON");
    EXPECT_TRUE(shutter.isEmpty());
    lines.dsr = false;
    ASSERT_TRUE(test::WaitUntil([&] { return label(5)->text() == "OFF"; }, 2000));

    lines.cts = true;
    ASSERT_TRUE(test::WaitUntil([&] { return startStop.size() == 1; }, 2000));
    EXPECT_EQ(label(4)->text(), "ON");
    EXPECT_TRUE(label(4)->styleSheet().contains("rgb(200, 0, 0)"));
    EXPECT_EQ(label(5)->text(), "OFF");
    EXPECT_TRUE(label(5)->styleSheet().contains("rgb(0, 200, 0)"));

    // Held on, it asks nothing more; off and on again is another request.
    test::WaitUntil([] { return false; }, 3 * RS232::ScanIntervalMs);
    EXPECT_EQ(startStop.size(), 1);
    lines.cts = false;
    ASSERT_TRUE(test::WaitUntil([&] { return label(4)->text() == "OFF"; }, 2000));
    EXPECT_EQ(startStop.size(), 1) << "going off asks nothing";
    lines.cts = true;
    ASSERT_TRUE(test::WaitUntil([&] { return startStop.size() == 2; }, 2000));

    lines.dsr = true;
    ASSERT_TRUE(test::WaitUntil([&] { return shutter.size() == 1; }, 2000));
    EXPECT_EQ(label(5)->text(), "ON");
    EXPECT_EQ(startStop.size(), 2);
}

TEST(LineEdges, OnlyALineGoingOnCounts) {
    const struct {
        ModemLines before, now;
        bool startStop, shutter;
    } cases[] = {
        {{false, false}, {true, false}, true, false},
        {{false, false}, {false, true}, false, true},
        {{false, false}, {true, true}, true, true},
        {{true, true}, {true, true}, false, false},
        {{true, true}, {false, false}, false, false},
    };
    for (const auto& each : cases) {
        const LineEdges edges = EdgesBetween(each.before, each.now);
        EXPECT_EQ(edges.startStop, each.startStop);
        EXPECT_EQ(edges.shutter, each.shutter);
    }
}
