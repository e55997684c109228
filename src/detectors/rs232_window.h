#pragma once
// The "RS232 Control" window: watches the CTS and DSR lines of a serial port to which a switch is
// wired (DTR supplies it). CTS going on starts or stops the current mode's operation; DSR going on
// is the shutter.

#include "platform/serial_line.h"

#include <QTimer>
#include <QWidget>

#include <array>
#include <memory>

class QLabel;
class QLineEdit;
class QStatusBar;

namespace kestrova {

// What a change of the lines asks for, from the last seen lines and the new ones: only a line
// going from off to on counts.
struct LineEdges {
    bool startStop = false;  // CTS went on
    bool shutter = false;    // DSR went on
};
LineEdges EdgesBetween(const ModemLines& before, const ModemLines& now);

class RS232 final : public QWidget {
    Q_OBJECT
public:
    // The line is the window's; without one the system's serial ports are used.
    explicit RS232(std::unique_ptr<SerialLine> line = nullptr, QWidget* parent = nullptr);
    ~RS232() override;

    // How often the lines are read.
    static constexpr int ScanIntervalMs = 100;

signals:
    void startStopRequested();
    void shutterRequested();
    // The window is closing (its close box or close()), while it is still whole.
    void closing();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void portChanged();
    void scan();
    void showLine(QLabel* label, bool on);

    std::unique_ptr<SerialLine> line_;
    std::array<QLabel*, 6> labels_{};
    QLineEdit* serialPort_;
    QLabel* systemName_;  // the system's name of the chosen port
    QStatusBar* status_;
    QTimer scanTimer_;
    ModemLines seen_;
    // The first reading after a port opens is where the lines stand, not a change.
    bool baseline_ = true;
};

}  // namespace kestrova
