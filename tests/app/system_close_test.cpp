// The system's close (SIGTERM) at every moment a user can be in: the program ends with status 0
// within 5 seconds, stores what the load had put in place, and a movie being recorded plays.

#include "app/start.h"

#include "capture/device_chooser.h"
#include "capture/video_screen.h"
#include "core/global_state.h"
#include "core/settings.h"
#include "mainwindow/master.h"
#include "platform/capture_control.h"
#include "platform/prompts.h"
#include "platform/stream_server.h"

#include "http_exchange.h"
#include "kestrova_test.h"
#include "movie_probe.h"

#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QListWidget>
#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <csignal>
#include <thread>
#include <unistd.h>

using namespace kestrova;

namespace {

// One step of a user's way to a moment: once `ready` holds, `act` runs.
struct Step {
    std::function<bool()> ready;
    std::function<void()> act;
};

class SystemClose : public test::KestrovaTest {
protected:
    // Runs the program as main() does, walks the steps on a 20 ms poll (timers keep running inside
    // modal windows), and sends SIGTERM after the last one unless the test sends it itself. The exit
    // status, or -1 when the program had not ended 20 seconds after the start.
    int run(std::vector<Step> steps, StartOptions options = {.splashMilliseconds = 50, .commandLine = {}}, bool signalAfterSteps = true) {
        if (signalAfterSteps) steps.push_back({[] { return true; }, [this] { signal(); }});
        QTimer poll;
        std::size_t next = 0;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            while (next < steps.size() && steps[next].ready()) steps[next++].act();
        });
        poll.start(20);
        bool timedOut = false;
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [&] {
            timedOut = true;
            QCoreApplication::exit(-1);
        });
        guard.start(20'000);
        const int status = RunProgram(options);
        EXPECT_FALSE(timedOut) << "still running at step " << next << " of " << steps.size();
        if (signalledAt_ > 0) {
            EXPECT_LT(now() - signalledAt_, 5000) << "the end took too long";
        }
        return timedOut ? -1 : status;
    }

    // From any thread.
    void signal() {
        signalledAt_ = now();
        ::kill(::getpid(), SIGTERM);
    }
    static std::int64_t now() {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
    }

    static Master* master() { return RunningMaster(); }
    static ChooseDevice* chooser() {
        Master* window = master();
        auto* found = window ? window->findChild<ChooseDevice*>() : nullptr;
        return found && found->isVisible() ? found : nullptr;
    }
    // Picks the chooser's entry of that name and presses its button, as a user does.
    static void connectDevice(const QString& name) {
        ChooseDevice* window = chooser();
        const QList<QListWidgetItem*> items = window->devices()->findItems(name, Qt::MatchExactly);
        ASSERT_FALSE(items.isEmpty()) << name.toStdString();
        window->devices()->setCurrentItem(items.front());
        window->start()->click();
    }
    static bool connected(const char* tag) {
        return master() && master()->videoScreen()->Tag() == QLatin1String(tag) && !master()->videoScreen()->initializing() &&
               master()->videoScreen()->windowTitle() != QLatin1String("Initializing...");
    }
    QString storedWidth() const { return GetSetting(SettingsAppTitle(), QStringLiteral("Window"), QStringLiteral("Width")); }

    std::atomic<std::int64_t> signalledAt_{0};
};

TEST_F(SystemClose, DuringTheSplashNothingIsStored) {
    EXPECT_EQ(run({}, {.splashMilliseconds = 3000, .commandLine = {}}), 0);
    EXPECT_TRUE(storedWidth().isEmpty());
}

// The load's box over the chooser: the stored layout was already in place, so the close keeps it.
TEST_F(SystemClose, DuringTheLoadsMessageBoxTheStoredLayoutStays) {
    SaveSetting(SettingsAppTitle(), "Window", "Width", "12000");
    SaveSetting(SettingsAppTitle(), "Window", "Height", "9000");
    SaveSetting(SettingsAppTitle(), "Window", "Toolbar0", "0");
    prompts->whileShown = [this](const test::ShownPrompt& shown) {
        if (!shown.text.startsWith(QLatin1String("Cannot open "))) return;
        signal();
        // The box stays open until the close request ends every loop.
        QEventLoop open;
        QTimer::singleShot(8000, &open, &QEventLoop::quit);
        open.exec();
    };
    EXPECT_EQ(run({}, {.splashMilliseconds = 50, .commandLine = tempPath("missing.vcp")}, false), 0);
    EXPECT_EQ(prompts->messages().value(0), "Cannot open " + tempPath("missing.vcp"));
    EXPECT_EQ(storedWidth(), "12000");
    EXPECT_EQ(GetSetting(SettingsAppTitle(), "Window", "Height"), "9000");
    EXPECT_EQ(GetSetting(SettingsAppTitle(), "Window", "Toolbar0"), "0");
}

TEST_F(SystemClose, WhileTheChooserCountsDown) {
    EXPECT_EQ(run({{[] { return chooser() != nullptr; }, [] {}}}), 0);
    EXPECT_EQ(storedWidth(), "12000") << "the default 800 pixels, in twips";
}

TEST_F(SystemClose, WhileAModalWindowIsOpen) {
    const std::vector<std::pair<const char*, std::function<void(Master&)>>> windows = {
        {"Preferences", [](Master& window) { window.showPreferences(Qt::ApplicationModal); }},
        {"About", [](Master& window) { window.showAbout(); }},
        {"a message box", [](Master&) { MsgBox(QStringLiteral("A question"), PromptIcon::Question, PromptButtons::YesNo); }},
    };
    for (const auto& [name, open] : windows) {
        SCOPED_TRACE(name);
        Vars = GlobalState{};
        auto real = InstallPrompts(std::make_unique<QtPrompts>());
        const int status = run({{[] { return chooser() != nullptr; }, [open = open] { QTimer::singleShot(0, [open] { open(*master()); }); }},
                                {[] { return QApplication::activeModalWidget() != nullptr; }, [] {}}});
        InstallPrompts(std::move(real));
        EXPECT_EQ(status, 0);
        EXPECT_FALSE(storedWidth().isEmpty());
    }
}

TEST_F(SystemClose, DuringAMovieTheFileIsFinishedAndPlays) {
    auto frames = [] {
        qint64 elapsed = 0, count = 0, dropped = 0, bytes = 0, samples = 0;
        double rate = 0;
        master()->videoScreen()->wdmX()->CaptureStatistics(elapsed, count, dropped, bytes, samples, rate);
        return count;
    };
    EXPECT_EQ(run({{[] { return chooser() != nullptr; }, [] { connectDevice(QStringLiteral("Test Pattern")); }},
                   {[] { return connected("wdm"); },
                    [] {
                        master()->movieDisableLimit()->setChecked(true);
                        master()->recordButton()->trigger();
                    }},
                   {[&] { return frames() >= 20; }, [] {}}}),
              0);
    const test::MovieProbe movie = test::ProbeMovie(Vars.CaptureFileName, true);
    ASSERT_TRUE(movie.error.isEmpty()) << movie.error.toStdString();
    EXPECT_GE(movie.decodedFrames, 20);
    EXPECT_EQ(movie.decodedFrames, movie.videoPackets);
}

// The exclusive capture holds every other window's input and timers, so the signal comes from
// another thread once the movie has grown.
TEST_F(SystemClose, DuringAnExclusiveCaptureWindowMovie) {
    SaveSetting("VKESTROVA", "ADV", "YIELD", "0");
    std::thread closer;
    const int status = run({{[] { return chooser() != nullptr; }, [] { connectDevice(QStringLiteral("Test Pattern(VFW)")); }},
                            {[] { return connected("vfw"); },
                             [&] {
                                 const QString file = Vars.CaptureFileName;
                                 closer = std::thread([this, file] {
                                     QElapsedTimer waited;
                                     waited.start();
                                     while (QFileInfo(file).size() < 200'000 && waited.elapsed() < 8000) std::this_thread::sleep_for(std::chrono::milliseconds(20));
                                     signal();
                                 });
                                 master()->recordButton()->trigger();
                             }}},
                           {.splashMilliseconds = 50, .commandLine = {}}, false);
    closer.join();
    EXPECT_EQ(status, 0);
    const test::MovieProbe movie = test::ProbeMovie(Vars.CaptureFileName, true);
    ASSERT_TRUE(movie.error.isEmpty()) << movie.error.toStdString();
    EXPECT_GE(movie.decodedFrames, 5);
    EXPECT_EQ(movie.decodedFrames, movie.videoPackets);
}

TEST_F(SystemClose, DuringAWebShare) {
    SaveSetting(SettingsAppTitle(), "WebShare", "Port", "0");
    QByteArray page;
    EXPECT_EQ(run({{[] { return chooser() != nullptr; }, [] { master()->SetCaptureMode(QStringLiteral("webshare")); }},
                   {[] { return master()->stream().active(); },
                    [&] { page = test::HttpExchange(master()->stream().boundPort(), "GET / HTTP/1.1\r\nHost: cam\r\n\r\n"); }}}),
              0);
    EXPECT_TRUE(page.startsWith("HTTP/1.1 200 OK")) << page.constData();
    EXPECT_EQ(GetSetting(SettingsAppTitle(), "WebShare", "Port"), "0");
}

}  // namespace
