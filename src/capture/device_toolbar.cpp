#include "device_toolbar.h"

#include "avitools/export_dv.h"
#include "platform/capture_control.h"

#include "source_kind.h"
#include "video_screen.h"
#include "video_settings.h"

#include "core/global_state.h"
#include "core/translate.h"

#include <QApplication>
#include <QGridLayout>
#include <QMenu>
#include <QToolButton>

namespace kestrova {

namespace {

// The export window over the capture control. The control answers as a device without a DV
// transport: Linux offers no DV camcorder to it, so DeviceKind never enables the button.
class ControlDvExport final : public DvExportControl {
public:
    explicit ControlDvExport(CaptureControl& control) : control_(control) {}
    void StartDVExport(const QString&) override {}
    int DVTransport(int command) override { return control_.DVTransport(command); }
    qint64 Position() const override { return 0; }
    qint64 StreamLength() const override { return 0; }
    void CloseStream() override { control_.CloseStream(); }

private:
    CaptureControl& control_;
};

}  // namespace

namespace {
constexpr int ButtonsPerRow = 7;
}

DeviceToolbar::DeviceToolbar(VideoScreen& screen, QWidget* parent) : QToolBar(parent), screen_(screen) {
    setObjectName(QStringLiteral("devicetoolbar"));
    setWindowTitle(Translate(QStringLiteral("Device")));
    panel_ = new QWidget(this);
    panel_->setObjectName(QStringLiteral("DeviceButtons"));
    rows_ = new QGridLayout(panel_);
    rows_->setContentsMargins(0, 0, 0, 0);
    rows_->setSpacing(1);
    addWidget(panel_);
    addButton(QStringLiteral("device"), Translate(QStringLiteral("Device")), true);
    addButton(QStringLiteral("wdmsettings"), Translate(QStringLiteral("Capture Settings")));
    addButton(QStringLiteral("source"), Translate(QStringLiteral("Source")), true);
    addButton(QStringLiteral("display"), Translate(QStringLiteral("Display")));
    addButton(QStringLiteral("format"), Translate(QStringLiteral("Format")), true);
    addButton(QStringLiteral("fullscreen"), Translate(QStringLiteral("Full Screen")));
    addButton(QStringLiteral("snapshot"), Translate(QStringLiteral("Snapshot")));
    addButton(QStringLiteral("overlay"), Translate(QStringLiteral("Overlay")));
    addButton(QStringLiteral("preview"), Translate(QStringLiteral("Preview")));
    addButton(QStringLiteral("info"), Translate(QStringLiteral("Information")));
    addButton(QStringLiteral("advanced"), Translate(QStringLiteral("Advanced")));
    addButton(QStringLiteral("exportdv"), Translate(QStringLiteral("Export DV")));
    addButton(QStringLiteral("about"), Translate(QStringLiteral("About")));
    addButton(QStringLiteral("screen"), Translate(QStringLiteral("Screen Capture")));
    // Enabled by the main window or by a device that has them; DV export and the screen capture
    // program come later.
    for (const char* key : {"fullscreen", "snapshot", "advanced", "exportdv", "about", "screen"}) {
        button(QString::fromLatin1(key))->setEnabled(false);
    }
    for (const char* key : {"wdmsettings", "source", "display", "format"}) button(QString::fromLatin1(key))->setEnabled(false);
    fillList(dropDown(QStringLiteral("format")), {});
    fillList(dropDown(QStringLiteral("source")), {});
    // Down shows the mode the picture is in.
    button(QStringLiteral("overlay"))->setCheckable(true);
    button(QStringLiteral("preview"))->setCheckable(true);
    connect(dropDown(QStringLiteral("format")), &QMenu::triggered, this, [this](QAction* action) {
        const int position = action->data().toInt();
        if (position >= 0) screen_.wdmX()->SelectVideoFormat(position);
    });
}

QToolButton* DeviceToolbar::addButton(const QString& key, const QString& text, bool withMenu) {
    auto* button = new QToolButton(panel_);
    button->setObjectName(key);
    button->setText(text);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    if (withMenu) {
        auto* menu = new QMenu(button);
        menu->setObjectName(key + QStringLiteral("Menu"));
        button->setMenu(menu);
        button->setPopupMode(QToolButton::MenuButtonPopup);
    }
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(button, &QToolButton::clicked, this, [this, key] { buttonClicked(key); });
    rows_->addWidget(button, buttons_ / ButtonsPerRow, buttons_ % ButtonsPerRow);
    ++buttons_;
    return button;
}

QToolButton* DeviceToolbar::button(const QString& key) const { return findChild<QToolButton*>(key); }

QMenu* DeviceToolbar::dropDown(const QString& key) const {
    QToolButton* owner = button(key);
    return owner ? owner->menu() : nullptr;
}

void DeviceToolbar::BuildDeviceMenu(const QStringList& vfwDrivers, bool newerWindows, const QStringList& wdmDevices) {
    QMenu* menu = dropDown(QStringLiteral("device"));
    menu->clear();
    entries_ = kestrova::BuildDeviceMenu(vfwDrivers, newerWindows, wdmDevices);
    for (const DeviceMenuEntry& entry : entries_) {
        if (entry.text == QLatin1String("-")) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(entry.text);
        action->setEnabled(entry.enabled);
        if (CommandOfTag(entry.tag) == DeviceCommand::Heading) continue;
        connect(action, &QAction::triggered, this, [this, entry] {
            screen_.ConnectVideoCaptureDevice(DeviceIdFromKey(entry.key), entry.tag, entry.text);
        });
    }
}

void DeviceToolbar::buttonClicked(const QString& key) {
    if (key == QLatin1String("device") || key == QLatin1String("wdmsettings")) {
        screen_.WDMCaptureDialog();
    } else if (key == QLatin1String("source")) {
        screen_.VideoSource();
    } else if (key == QLatin1String("display")) {
        screen_.VideoDisplay();
    } else if (key == QLatin1String("format")) {
        screen_.VideoFormat();
    } else if (key == QLatin1String("overlay")) {
        screen_.Overlay();
    } else if (key == QLatin1String("preview")) {
        screen_.Preview(Vars.PreviewRate);
    } else if (key == QLatin1String("info")) {
        screen_.showVideoInfo();
    } else if (key == QLatin1String("advanced")) {
        VideoSettings settings(window());
        settings.exec();
    } else if (key == QLatin1String("fullscreen")) {
        emit fullscreenClicked();
    } else if (key == QLatin1String("exportdv")) {
        auto* window = new ExportDV(std::make_unique<ControlDvExport>(*screen_.wdmX()), this->window());
        window->setWindowFlag(Qt::Window);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
    }
}

// The list keeps one disabled line while the source offers nothing to choose.
void DeviceToolbar::fillList(QMenu* menu, const QStringList& items) {
    menu->clear();
    if (items.isEmpty()) {
        QAction* none = menu->addAction(Translate(QStringLiteral("Available only on WDM devices")));
        none->setObjectName(QStringLiteral("none"));
        none->setData(-1);
        none->setEnabled(false);
        return;
    }
    for (int i = 0; i < items.size(); ++i) menu->addAction(items[i])->setData(i);
}

void DeviceToolbar::applyControls(const DeviceControls& controls) {
    button(QStringLiteral("wdmsettings"))->setEnabled(controls.wdmSettings);
    button(QStringLiteral("source"))->setEnabled(controls.source);
    button(QStringLiteral("display"))->setEnabled(controls.display);
    button(QStringLiteral("format"))->setEnabled(controls.format);
    fillList(dropDown(QStringLiteral("format")), controls.formatItems);
    fillList(dropDown(QStringLiteral("source")), controls.sourceItems);
    button(QStringLiteral("fullscreen"))->setEnabled(controls.fullscreen);
    button(QStringLiteral("advanced"))->setEnabled(controls.advancedSettings);
    button(QStringLiteral("overlay"))->setEnabled(controls.overlay);
    button(QStringLiteral("overlay"))->setChecked(controls.overlayDown);
    button(QStringLiteral("preview"))->setChecked(controls.previewDown);
}

}  // namespace kestrova
