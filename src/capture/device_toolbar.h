#pragma once
// The device tool bar: the "device" drop-down with every source, and the buttons that act on the
// connected one. Buttons are found by key.

#include "device_choice.h"

#include <QToolBar>

class QGridLayout;
class QMenu;
class QToolButton;

namespace kestrova {

class VideoScreen;
struct DeviceControls;

class DeviceToolbar final : public QToolBar {
    Q_OBJECT
public:
    DeviceToolbar(VideoScreen& screen, QWidget* parent = nullptr);

    // Fills the "device" drop-down; the list is read once per run.
    void BuildDeviceMenu(const QStringList& vfwDrivers, bool newerWindows, const QStringList& wdmDevices);
    const std::vector<DeviceMenuEntry>& deviceEntries() const { return entries_; }
    QToolButton* button(const QString& key) const;
    QMenu* dropDown(const QString& key) const;

    void buttonClicked(const QString& key);
    void applyControls(const DeviceControls& controls);

signals:
    void fullscreenClicked();

private:
    QToolButton* addButton(const QString& key, const QString& text, bool withMenu = false);
    static void fillList(QMenu* menu, const QStringList& items);

    VideoScreen& screen_;
    std::vector<DeviceMenuEntry> entries_;
    // The buttons in two rows: in one they are wider than the main window and hide behind an arrow.
    QWidget* panel_ = nullptr;
    QGridLayout* rows_ = nullptr;
    int buttons_ = 0;
};

}  // namespace kestrova
