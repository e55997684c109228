#pragma once

#include <QMainWindow>

class QMdiArea;

namespace kestrova {

class Preferences;

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

    // A closing request from the system (SIGTERM, SIGINT, end of the session).
    void closeBySystem();
    void showPreferences();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();

    QMdiArea* mdiArea_ = nullptr;
    Preferences* preferences_ = nullptr;
    UnloadMode unloadMode_ = UnloadMode::User;
};

// Ends the program: marks the shutdown, closes every other window and leaves the event loop.
void EndProgram(Master& master);

}  // namespace kestrova
