#pragma once
// A serial port's modem lines: the port is opened with DTR on, so that DTR supplies a switch
// wired to CTS or DSR, and the two lines are read on request.

#include <QList>
#include <QSerialPort>
#include <QString>

namespace kestrova {

struct SerialPortEntry {
    QString systemName;  // "ttyS0", "ttyUSB0"
    QString path;        // what is opened: "/dev/ttyS0"
};

struct ModemLines {
    bool cts = false;
    bool dsr = false;
};

class SerialLine {
public:
    SerialLine();
    virtual ~SerialLine();
    SerialLine(const SerialLine&) = delete;
    SerialLine& operator=(const SerialLine&) = delete;

    // The system's serial ports in its order.
    virtual QList<SerialPortEntry> ports() const;
    // Opens a port (closing the one open before); empty when it opened, else the system's reason.
    QString open(const QString& path);
    void close();
    bool isOpen() const { return port_.isOpen(); }
    // The lines of the open port; both off when it is closed or cannot say.
    virtual ModemLines lines() const;

private:
    mutable QSerialPort port_;
};

}  // namespace kestrova
