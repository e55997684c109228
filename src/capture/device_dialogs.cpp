#include "device_dialogs.h"

#include "device_choice.h"

#include "core/translate.h"
#include "platform/capture_control.h"
#include "platform/media/devices.h"
#include "platform/media/v4l2_devices.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QListWidget>
#include <QPointer>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

namespace kestrova {

QDialog* ShowDeviceWindow(const QString& name, const QString& title, QWidget* content, QWidget* parent,
                          std::function<void()> apply) {
    QWidget* owner = parent ? parent->window() : nullptr;
    // One window of each kind: a second open brings the first forward.
    if (owner) {
        for (QDialog* open : owner->findChildren<QDialog*>(name, Qt::FindDirectChildrenOnly)) {
            if (!open->isVisible()) continue;
            delete content;
            open->raise();
            open->activateWindow();
            return open;
        }
    }
    auto* dialog = new QDialog(owner);
    dialog->setObjectName(name);
    dialog->setWindowTitle(title);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(dialog);
    content->setParent(dialog);
    layout->addWidget(content);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, [dialog, apply = std::move(apply)] {
        apply();
        dialog->accept();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    dialog->show();
    return dialog;
}

QString DeviceNode(const CaptureControl& control) {
    const std::vector<media::VideoDevice> devices = media::VideoDevices();
    const int index = control.VideoDeviceIndex();
    if (index < 0 || index >= int(devices.size()) || devices[size_t(index)].identity.isEmpty()) return {};
    return media::ResolveIdentity(devices[size_t(index)].identity);
}

QDialog* ShowVideoSourceDialog(CaptureControl& control, QWidget* parent) {
    auto* content = new QWidget;
    auto* form = new QFormLayout(content);
    auto* inputs = new QListWidget;
    inputs->setObjectName(QStringLiteral("inputs"));
    for (int i = 0; i < control.VideoInputCount(); ++i) inputs->addItem(control.VideoInputName(i));
    inputs->setCurrentRow(control.VideoInputIndex());
    form->addRow(Translate(QStringLiteral("Input")), inputs);

    // The driver's own picture controls (brightness, contrast...), set when OK is pressed.
    const QString node = DeviceNode(control);
    std::vector<std::pair<std::uint32_t, QSlider*>> sliders;
    for (const media::DeviceControl& setting : node.isEmpty() ? std::vector<media::DeviceControl>() : media::QueryControls(node)) {
        auto* slider = new QSlider(Qt::Horizontal);
        slider->setObjectName(setting.name);
        slider->setRange(setting.minimum, setting.maximum);
        slider->setSingleStep(std::max(1, setting.step));
        slider->setValue(media::GetControl(node, setting.id).value_or(setting.defaultValue));
        slider->setProperty("initial", slider->value());
        form->addRow(setting.name, slider);
        sliders.emplace_back(setting.id, slider);
    }
    QPointer<CaptureControl> target(&control);
    return ShowDeviceWindow(QStringLiteral("VideoSourceDialog"), Translate(QStringLiteral("Video Source")), content,
                            parent, [target, inputs, node, sliders] {
                                for (const auto& [id, slider] : sliders) {
                                    if (slider->value() != slider->property("initial").toInt()) {
                                        media::SetControl(node, id, slider->value());
                                    }
                                }
                                if (target && inputs->currentRow() >= 0 && inputs->currentRow() != target->VideoInputIndex()) {
                                    target->setVideoInputIndex(inputs->currentRow());
                                }
                            });
}

QDialog* ShowVideoFormatDialog(CaptureControl& control, QWidget* parent) {
    auto* formats = new QListWidget;
    formats->setObjectName(QStringLiteral("formats"));
    for (const media::FormatRow& row : control.VideoFormats()) formats->addItem(FormatItemText(row));
    control.QueryVideoSize();
    const QString current = QStringLiteral("%1 x %2").arg(control.VideoWidth()).arg(control.VideoHeight());
    for (int i = 0; i < formats->count(); ++i) {
        if (formats->item(i)->text().startsWith(current + u' ')) {
            formats->setCurrentRow(i);
            break;
        }
    }
    QPointer<CaptureControl> target(&control);
    return ShowDeviceWindow(QStringLiteral("VideoFormatDialog"), Translate(QStringLiteral("Video Format")), formats,
                            parent, [target, formats] {
                                if (target && formats->currentRow() >= 0) target->SelectVideoFormat(formats->currentRow());
                            });
}

QDialog* ShowVideoDisplayDialog(CaptureControl& control, QWidget* parent) {
    auto* options = new QWidget;
    auto* form = new QFormLayout(options);
    auto* scale = new QCheckBox(Translate(QStringLiteral("Scale the picture to the window")));
    scale->setObjectName(QStringLiteral("scale"));
    scale->setChecked(control.ScalePreview());
    auto* rate = new QSpinBox;
    rate->setObjectName(QStringLiteral("rate"));
    rate->setRange(1, 60);
    rate->setValue(control.PreviewFrameRate());
    form->addRow(scale);
    form->addRow(Translate(QStringLiteral("Preview frames per second")), rate);
    QPointer<CaptureControl> target(&control);
    return ShowDeviceWindow(QStringLiteral("VideoDisplayDialog"), Translate(QStringLiteral("Video Display")), options,
                            parent, [target, scale, rate] {
                                if (!target) return;
                                target->setScalePreview(scale->isChecked());
                                if (rate->value() != target->PreviewFrameRate()) target->setPreviewFrameRate(rate->value());
                            });
}

}  // namespace kestrova
