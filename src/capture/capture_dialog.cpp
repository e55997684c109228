#include "capture_dialog.h"

#include "device_dialogs.h"

#include "core/translate.h"
#include "platform/capture_control.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFormLayout>
#include <QLineEdit>
#include <QPointer>
#include <QSpinBox>

namespace kestrova {

QDialog* ShowCaptureDialog(CaptureControl& control, QWidget* parent) {
    auto* settings = new QWidget;
    auto* form = new QFormLayout(settings);
    auto* file = new QLineEdit(control.CaptureFile());
    file->setObjectName(QStringLiteral("file"));
    auto* limited = new QCheckBox(Translate(QStringLiteral("Time limit")));
    limited->setObjectName(QStringLiteral("limited"));
    limited->setChecked(control.TimeLimitEnabled());
    auto* limit = new QSpinBox;
    limit->setObjectName(QStringLiteral("limit"));
    limit->setRange(0, 24 * 3600);
    limit->setSuffix(QStringLiteral(" s"));
    limit->setValue(control.TimeLimit());
    auto* audio = new QCheckBox(Translate(QStringLiteral("Capture audio")));
    audio->setObjectName(QStringLiteral("audio"));
    audio->setChecked(control.CaptureAudio());
    auto* video = new QComboBox;
    video->setObjectName(QStringLiteral("videoCompressor"));
    for (int i = 0; i < control.VideoCompressorCount(); ++i) video->addItem(control.VideoCompressorName(i));
    video->setCurrentIndex(control.VideoCompressorIndex());
    auto* sound = new QComboBox;
    sound->setObjectName(QStringLiteral("audioCompressor"));
    for (int i = 0; i < control.AudioCompressorCount(); ++i) sound->addItem(control.AudioCompressorName(i));
    sound->setCurrentIndex(control.AudioCompressorIndex());
    form->addRow(Translate(QStringLiteral("Capture file")), file);
    form->addRow(limited, limit);
    form->addRow(audio);
    form->addRow(Translate(QStringLiteral("Video compressor")), video);
    form->addRow(Translate(QStringLiteral("Audio compressor")), sound);
    QPointer<CaptureControl> target(&control);
    return ShowDeviceWindow(QStringLiteral("CaptureDialog"), Translate(QStringLiteral("Capture Settings")), settings,
                            parent, [=] {
                                if (!target) return;
                                target->setCaptureFile(file->text());
                                target->setTimeLimitEnabled(limited->isChecked());
                                target->setTimeLimit(limit->value());
                                target->setCaptureAudio(audio->isChecked());
                                if (video->currentIndex() >= 0) target->setVideoCompressorIndex(video->currentIndex());
                                if (sound->currentIndex() >= 0) target->setAudioCompressorIndex(sound->currentIndex());
                            });
}

}  // namespace kestrova
