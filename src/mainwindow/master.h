#pragma once

#include <QMainWindow>

class QLabel;
class QMdiArea;
class QMdiSubWindow;

namespace kestrova {

class ChooseDevice;
class DeviceToolbar;
class Preferences;
class VideoScreen;

// How the main window is being closed; the system's request stores everything and asks nothing.
enum class UnloadMode { User, System };

// The main window: a multi-document area for the video window and the tool windows, the menus and the
// status bar.
class Master final : public QMainWindow {
    Q_OBJECT
public:
    explicit Master(QWidget* parent = nullptr);

    QMdiArea* mdiArea() const { return mdiArea_; }
    UnloadMode unloadMode() const { return unloadMode_; }
    VideoScreen* videoScreen() const { return videoScreen_; }
    DeviceToolbar* deviceToolbar() const { return deviceToolbar_; }
    QLabel* statusString() const { return statusString_; }

    // Fills the device list and opens the chooser over the main window, as the load does.
    ChooseDevice* startDeviceChoice();

    // A closing request from the system (SIGTERM, SIGINT, end of the session).
    void closeBySystem();
    void showPreferences();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void setUpVideo();

    QMdiArea* mdiArea_ = nullptr;
    Preferences* preferences_ = nullptr;
    VideoScreen* videoScreen_ = nullptr;
    QMdiSubWindow* videoFrame_ = nullptr;
    DeviceToolbar* deviceToolbar_ = nullptr;
    QLabel* statusString_ = nullptr;
    UnloadMode unloadMode_ = UnloadMode::User;
};

// Ends the program: marks the shutdown, closes every other window and leaves the event loop.
void EndProgram(Master& master);

}  // namespace kestrova
