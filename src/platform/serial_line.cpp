#include "serial_line.h"

#include <QSerialPortInfo>

namespace kestrova {

SerialLine::SerialLine() = default;
SerialLine::~SerialLine() = default;

QList<SerialPortEntry> SerialLine::ports() const {
    QList<SerialPortEntry> entries;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        entries.push_back({info.portName(), info.systemLocation()});
    }
    return entries;
}

QString SerialLine::open(const QString& path) {
    close();
    port_.setPortName(path);
    if (!port_.open(QIODevice::ReadWrite)) {
        const QString reason = port_.errorString();
        port_.clearError();
        return reason;
    }
    // A port without modem control lines (a pseudo-terminal, some adapters) stays open without DTR.
    port_.setDataTerminalReady(true);
    port_.clearError();
    return {};
}

void SerialLine::close() {
    if (port_.isOpen()) port_.close();
    port_.clearError();
}

ModemLines SerialLine::lines() const {
    if (!port_.isOpen()) return {};
    const QSerialPort::PinoutSignals pins = port_.pinoutSignals();
    port_.clearError();
    return {pins.testFlag(QSerialPort::ClearToSendSignal), pins.testFlag(QSerialPort::DataSetReadySignal)};
}

}  // namespace kestrova
