#pragma once
// Scanners through SANE. The library is started for each listing or scan and ended after it, one
// at a time: nothing of SANE runs before a user asks for a scanner, a device plugged in later is
// found, and tests choose their backends through SANE_CONFIG_DIR. Listing and scanning block (device
// discovery may take seconds): call them off the UI thread, or start them as background tasks.

#include <QImage>
#include <QString>

#include <atomic>
#include <memory>
#include <vector>

namespace kestrova {

struct ScannerDevice {
    QString name;  // SANE's device name ("test:0", "genesys:libusb:001:004")
    QString vendor;
    QString model;
    QString type;
    // What a user reads in a list: "Vendor Model (name)".
    QString label() const;
};

struct ScannerList {
    std::vector<ScannerDevice> devices;
    QString error;  // why the library could not list, else empty
};

enum class ScanFailure { None, NoScanner, LibraryFailed, OpenFailed, BadOption, ScanFailed, Unreadable, TooLarge, Cancelled, NoPicture,
                         NotStopping };

// Options of the scanner set by SANE's names before the scan ("mode" = "Color", "resolution" =
// "150"), in order.
using ScanOptions = std::vector<std::pair<QString, QString>>;

struct ScanOutcome {
    QImage picture;  // null unless failure is None
    ScanFailure failure = ScanFailure::None;
    QString detail;  // the library's reason and the device, where there are
};

// Why a scan gave no picture, for the user (translated: call it on the UI or main thread).
QString ScanFailureText(const ScanOutcome& outcome);

ScannerList ListScanners();

// One picture from `device` (empty: the first one listed). `cancel` is checked between reads;
// `percent` gets the progress when the scanner knows the picture's height.
ScanOutcome ScanPicture(const QString& device, const ScanOptions& options = {}, const std::atomic<bool>* cancel = nullptr,
                        std::atomic<int>* percent = nullptr);

// The same on a thread of their own, shared with the window that waits for it: the window polls
// finished() on a timer, the task never calls into the UI. A task nobody waits for ends by itself.
class ScannerTask {
public:
    static std::shared_ptr<ScannerTask> listing();
    static std::shared_ptr<ScannerTask> scanning(const QString& device);

    bool finished() const { return finished_.load(); }
    int percent() const { return percent_.load(); }
    void cancel() { cancel_.store(true); }
    // Valid once finished().
    const ScannerList& list() const { return list_; }
    const ScanOutcome& outcome() const { return outcome_; }

private:
    std::atomic<bool> finished_{false};
    std::atomic<bool> cancel_{false};
    std::atomic<int> percent_{0};
    ScannerList list_;
    ScanOutcome outcome_;
};

}  // namespace kestrova
