#pragma once
// The scanner's two windows: "Select Source" lists the scanners SANE finds and lets the user pick
// one; the scan window shows a picture's progress with Cancel. Both wait for their background task
// on a timer and never block the UI thread; both delete themselves when closed.

#include "platform/scanner_library.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <memory>

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace kestrova {

class ScannerSource final : public QWidget {
    Q_OBJECT
public:
    // `current`: the scanner chosen before, selected once listed.
    explicit ScannerSource(const QString& current, QWidget* parent = nullptr);
    ~ScannerSource() override;

    QListWidget* sources() const { return sources_; }
    QLabel* message() const { return message_; }
    QPushButton* selectButton() const { return select_; }
    // Chooses the highlighted scanner and closes.
    void selectHighlighted();

signals:
    void listed(int count);
    void chosen(const QString& device);

private:
    void poll();

    std::shared_ptr<ScannerTask> task_;
    QString current_;
    QTimer poll_;
    QLabel* message_;
    QListWidget* sources_;
    QPushButton* select_;
};

class ScanProgress final : public QWidget {
    Q_OBJECT
public:
    explicit ScanProgress(const QString& device, QWidget* parent = nullptr);
    ~ScanProgress() override;

    QString device() const { return device_; }
    QProgressBar* progress() const { return progress_; }
    QPushButton* cancelButton() const { return cancel_; }
    // A scanner that has not stopped this long after Cancel is left to itself and the window goes.
    static constexpr int StopMilliseconds = 5000;
    void cancel();

signals:
    // Once, before the window closes.
    void finished(const ScanOutcome& outcome);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void poll();

    void done(const ScanOutcome& outcome);

    std::shared_ptr<ScannerTask> task_;
    QString device_;
    QTimer poll_;
    QElapsedTimer sinceCancel_;
    bool finished_ = false;
    QLabel* message_;
    QProgressBar* progress_;
    QPushButton* cancel_;
};

}  // namespace kestrova
