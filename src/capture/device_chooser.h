#pragma once
// The window that opens with the main window: the devices, the last one preselected, and a
// countdown that connects the selection by itself.

#include "device_choice.h"

#include <QDialog>
#include <QTimer>

class QListWidget;
class QPushButton;

namespace kestrova {

class VideoScreen;

class ChooseDevice final : public QDialog {
    Q_OBJECT
public:
    ChooseDevice(const std::vector<DeviceMenuEntry>& menu, VideoScreen& screen, QWidget* parent = nullptr);

    QListWidget* devices() const { return devices_; }
    QPushButton* start() const { return start_; }
    QPushButton* cancel() const { return cancel_; }
    QTimer& Timer1() { return timer1_; }
    int counter() const { return counter_; }

    void tick();
    void startSelected();

private:
    void listClicked();

    VideoScreen& screen_;
    QListWidget* devices_;
    QPushButton* start_;
    QPushButton* cancel_;
    QTimer timer1_;
    QString startCaption_;
    int counter_ = 0;
};

}  // namespace kestrova
