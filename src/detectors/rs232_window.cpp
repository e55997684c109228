#include "rs232_window.h"

#include "core/settings.h"
#include "core/translate.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QVBoxLayout>

namespace kestrova {

LineEdges EdgesBetween(const ModemLines& before, const ModemLines& now) {
    return {!before.cts && now.cts, !before.dsr && now.dsr};
}

namespace {

// "Port x" is the x-th port the system lists: the path to open, or why there is none.
struct PortChoice {
    QString path;
    QString systemName;
    QString problem;
};

PortChoice ChoosePort(const QString& text, const QList<SerialPortEntry>& ports) {
    bool numeric = false;
    const int number = text.trimmed().toInt(&numeric);
    if (!numeric || number < 1) return {{}, {}, Translate(QStringLiteral("Type the number of a serial port, 1 for the first."))};
    if (number > ports.size()) {
        return {{}, {}, ports.isEmpty() ? Translate(QStringLiteral("The system lists no serial port."))
                                        : Translate(QStringLiteral("There is no serial port %1: the system lists %2."))
                                              .arg(number)
                                              .arg(ports.size())};
    }
    const SerialPortEntry& entry = ports[number - 1];
    return {entry.path, entry.systemName, {}};
}

}  // namespace

RS232::RS232(std::unique_ptr<SerialLine> line, QWidget* parent)
    : QWidget(parent, Qt::Window),
      line_(line ? std::move(line) : std::make_unique<SerialLine>()),
      serialPort_(new QLineEdit(this)),
      systemName_(new QLabel(this)),
      status_(new QStatusBar(this)) {
    setObjectName(QStringLiteral("RS232"));
    setAttribute(Qt::WA_DeleteOnClose);
    static const std::array<const char*, 4> texts = {
        "This trigger mode enables you to start/stop capture using a switch connected to a Serial Port",
        "Serial Port (COMx:):", "Start/Stop capture (CTS):", "Shutter (DSR):"};
    for (int i = 0; i < 6; ++i) {
        labels_[i] = new QLabel(i < 4 ? Translate(QString::fromLatin1(texts[i])) : QString(), this);
        labels_[i]->setObjectName(QStringLiteral("Labels%1").arg(i));
    }
    labels_[0]->setWordWrap(true);
    serialPort_->setObjectName(QStringLiteral("SerialPort"));
    serialPort_->setMaximumWidth(60);
    status_->setObjectName(QStringLiteral("RS232Status"));
    status_->setSizeGripEnabled(false);
    systemName_->setObjectName(QStringLiteral("SystemPortName"));

    auto* grid = new QGridLayout;
    grid->addWidget(labels_[1], 0, 0);
    grid->addWidget(serialPort_, 0, 1);
    grid->addWidget(systemName_, 0, 2);
    grid->addWidget(labels_[2], 1, 0);
    grid->addWidget(labels_[4], 1, 1);
    grid->addWidget(labels_[3], 2, 0);
    grid->addWidget(labels_[5], 2, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(labels_[0]);
    layout->addLayout(grid);
    layout->addWidget(status_);

    connect(serialPort_, &QLineEdit::textChanged, this, &RS232::portChanged);
    scanTimer_.setInterval(ScanIntervalMs);
    connect(&scanTimer_, &QTimer::timeout, this, &RS232::scan);

    serialPort_->setText(GetSetting(SettingsAppTitle(), QStringLiteral("System"), QStringLiteral("SerialPort"), QStringLiteral("1")));
    setWindowTitle(Translate(QStringLiteral("RS232 Control")));
    scan();
    scanTimer_.start();
}

RS232::~RS232() {
    scanTimer_.stop();
    line_->close();
}

void RS232::closeEvent(QCloseEvent* event) {
    emit closing();
    QWidget::closeEvent(event);
}

void RS232::portChanged() {
    line_->close();
    const PortChoice choice = ChoosePort(serialPort_->text(), line_->ports());
    systemName_->setText(choice.systemName);
    QString problem = choice.problem;
    if (problem.isEmpty()) problem = line_->open(choice.path);
    status_->showMessage(problem.isEmpty() ? Translate(QStringLiteral("Ready")) : problem);
    baseline_ = true;
    scan();
}

void RS232::scan() {
    const ModemLines now = line_->lines();
    const LineEdges edges = baseline_ ? LineEdges{} : EdgesBetween(seen_, now);
    baseline_ = false;
    seen_ = now;
    showLine(labels_[4], now.cts);
    showLine(labels_[5], now.dsr);
    if (edges.startStop) emit startStopRequested();
    if (edges.shutter) emit shutterRequested();
}

void RS232::showLine(QLabel* label, bool on) {
    label->setText(on ? QStringLiteral("ON") : QStringLiteral("OFF"));
    label->setStyleSheet(on ? QStringLiteral("color: rgb(200, 0, 0);") : QStringLiteral("color: rgb(0, 200, 0);"));
}

}  // namespace kestrova
