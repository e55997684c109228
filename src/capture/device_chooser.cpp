#include "device_chooser.h"

#include "video_screen.h"

#include "core/settings.h"
#include "core/translate.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrova {

namespace {

constexpr int KeyRole = Qt::UserRole;
constexpr int TagRole = Qt::UserRole + 1;

}  // namespace

ChooseDevice::ChooseDevice(const std::vector<DeviceMenuEntry>& menu, VideoScreen& screen, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), screen_(screen), devices_(new QListWidget(this)),
      start_(new QPushButton(this)), cancel_(new QPushButton(this)) {
    setObjectName(QStringLiteral("ChooseDevice"));
    devices_->setObjectName(QStringLiteral("devices"));
    start_->setObjectName(QStringLiteral("start"));
    cancel_->setObjectName(QStringLiteral("Cancel"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(devices_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(start_, 1);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);
    resize(420, 260);

    const QString lastDevice = GetSetting(SettingsAppTitle(), QStringLiteral("System"), QStringLiteral("LastDevice"));
    const ChooserList list = ChooserEntries(menu, lastDevice);
    for (const DeviceMenuEntry& entry : list.items) {
        auto* item = new QListWidgetItem(entry.text, devices_);
        item->setData(KeyRole, entry.key);
        item->setData(TagRole, entry.tag);
    }
    if (list.selected >= 0) {
        devices_->setCurrentRow(list.selected);
        devices_->scrollToItem(devices_->currentItem());
    }

    setWindowTitle(Translate(QStringLiteral("Choose video capture device...")));
    startCaption_ = Translate(QStringLiteral("Use the selected device"));
    start_->setText(startCaption_);
    cancel_->setText(Translate(QStringLiteral("Cancel")));
    connect(devices_, &QListWidget::itemClicked, this, &ChooseDevice::listClicked);
    connect(devices_, &QListWidget::itemDoubleClicked, this, &ChooseDevice::startSelected);
    connect(start_, &QPushButton::clicked, this, &ChooseDevice::startSelected);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::close);
    timer1_.setObjectName(QStringLiteral("Timer1"));
    timer1_.setInterval(1000);
    connect(&timer1_, &QTimer::timeout, this, &ChooseDevice::tick);
    timer1_.start();
}

void ChooseDevice::tick() {
    ++counter_;
    if (counter_ <= ChooserCountdown) {
        start_->setText(CountdownCaption(startCaption_, counter_));
    } else {
        timer1_.stop();
        startSelected();
    }
}

void ChooseDevice::listClicked() {
    timer1_.stop();
    start_->setText(startCaption_);
    for (int i = 0; i < devices_->count(); ++i) {
        QFont font = devices_->item(i)->font();
        font.setBold(devices_->item(i) == devices_->currentItem());
        devices_->item(i)->setFont(font);
    }
}

void ChooseDevice::startSelected() {
    timer1_.stop();
    const QListWidgetItem* item = devices_->currentItem();
    if (!item) {
        close();
        return;
    }
    const QString name = item->text();
    const QString kind = item->data(TagRole).toString();
    const int id = DeviceIdFromKey(item->data(KeyRole).toString());
    SaveSetting(SettingsAppTitle(), QStringLiteral("System"), QStringLiteral("LastDevice"), name);
    close();
    // Connected from the event loop: this runs inside the list's own double-click, and the
    // connect may ask for an address or replace what the chooser shows.
    VideoScreen* screen = &screen_;
    QTimer::singleShot(0, screen, [screen, id, kind, name] { screen->ConnectVideoCaptureDevice(id, kind, name); });
}

}  // namespace kestrova
