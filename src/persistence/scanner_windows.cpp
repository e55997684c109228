#include "scanner_windows.h"

#include "core/translate.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

namespace kestrova {

namespace {

constexpr int PollMilliseconds = 100;

}  // namespace

ScannerSource::ScannerSource(const QString& current, QWidget* parent)
    : QWidget(parent, Qt::Window), task_(ScannerTask::listing()), current_(current), message_(new QLabel(this)),
      sources_(new QListWidget(this)), select_(new QPushButton(Translate(QStringLiteral("Select")), this)) {
    setObjectName(QStringLiteral("ScannerSource"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Translate(QStringLiteral("Select Source")));
    message_->setObjectName(QStringLiteral("ScannerMessage"));
    message_->setText(Translate(QStringLiteral("Looking for scanners...")));
    sources_->setObjectName(QStringLiteral("ScannerSources"));
    select_->setObjectName(QStringLiteral("ScannerSelect"));
    select_->setEnabled(false);
    select_->setDefault(true);
    auto* cancel = new QPushButton(Translate(QStringLiteral("Cancel")), this);
    cancel->setObjectName(QStringLiteral("ScannerCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(select_);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(message_);
    layout->addWidget(sources_);
    layout->addLayout(buttons);
    resize(420, 260);
    connect(select_, &QPushButton::clicked, this, &ScannerSource::selectHighlighted);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    connect(sources_, &QListWidget::itemDoubleClicked, this, &ScannerSource::selectHighlighted);
    connect(&poll_, &QTimer::timeout, this, &ScannerSource::poll);
    poll_.start(PollMilliseconds);
}

ScannerSource::~ScannerSource() = default;

void ScannerSource::poll() {
    if (!task_->finished()) return;
    poll_.stop();
    const ScannerList& list = task_->list();
    for (const ScannerDevice& device : list.devices) {
        auto* item = new QListWidgetItem(device.label(), sources_);
        item->setData(Qt::UserRole, device.name);
        if (device.name == current_ || (current_.isEmpty() && sources_->count() == 1)) sources_->setCurrentItem(item);
    }
    if (sources_->count() > 0 && sources_->currentItem() == nullptr) sources_->setCurrentRow(0);
    select_->setEnabled(sources_->count() > 0);
    if (!list.error.isEmpty()) {
        message_->setText(Translate(QStringLiteral("The scanner library cannot start")) + QStringLiteral(": ") + list.error);
    } else if (list.devices.empty()) {
        message_->setText(Translate(QStringLiteral("No scanner was found")));
    } else {
        message_->setText(Translate(QStringLiteral("Choose the scanner to acquire from:")));
    }
    emit listed(sources_->count());
}

void ScannerSource::selectHighlighted() {
    const QListWidgetItem* item = sources_->currentItem();
    if (item == nullptr) return;
    emit chosen(item->data(Qt::UserRole).toString());
    close();
}

ScanProgress::ScanProgress(const QString& device, QWidget* parent)
    : QWidget(parent, Qt::Window), task_(ScannerTask::scanning(device)), device_(device), message_(new QLabel(this)),
      progress_(new QProgressBar(this)), cancel_(new QPushButton(Translate(QStringLiteral("Cancel")), this)) {
    setObjectName(QStringLiteral("ScanProgress"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Translate(QStringLiteral("Acquire")));
    message_->setText(Translate(QStringLiteral("Scanning...")));
    progress_->setObjectName(QStringLiteral("ScanProgressBar"));
    progress_->setRange(0, 100);
    cancel_->setObjectName(QStringLiteral("ScanCancel"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(message_);
    layout->addWidget(progress_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);
    resize(360, sizeHint().height());
    connect(cancel_, &QPushButton::clicked, this, &ScanProgress::cancel);
    connect(&poll_, &QTimer::timeout, this, &ScanProgress::poll);
    poll_.start(PollMilliseconds);
}

ScanProgress::~ScanProgress() {
    // Destroyed with its scan running (the program ends): the scanner is stopped, and given a
    // moment to let go of SANE before the program unloads it.
    task_->cancel();
    QElapsedTimer waited;
    waited.start();
    while (!task_->finished() && waited.elapsed() < 2000) QThread::msleep(10);
}

void ScanProgress::cancel() {
    task_->cancel();
    if (!sinceCancel_.isValid()) sinceCancel_.start();
    cancel_->setEnabled(false);
    message_->setText(Translate(QStringLiteral("Cancelling...")));
}

void ScanProgress::poll() {
    progress_->setValue(task_->percent());
    if (task_->finished()) {
        done(task_->outcome());
    } else if (sinceCancel_.isValid() && sinceCancel_.elapsed() > StopMilliseconds) {
        // Its thread finishes, or not, on its own; it owns what it uses.
        ScanOutcome abandoned;
        abandoned.failure = ScanFailure::NotStopping;
        done(abandoned);
    }
}

void ScanProgress::done(const ScanOutcome& outcome) {
    poll_.stop();
    finished_ = true;
    // Closing first: whatever the receiver opens comes after this window.
    hide();
    emit finished(outcome);
    close();
}

void ScanProgress::closeEvent(QCloseEvent* event) {
    // The close box while scanning is Cancel; the window goes when the scanner has stopped.
    if (!finished_) {
        cancel();
        event->ignore();
        return;
    }
    event->accept();
}

}  // namespace kestrova
