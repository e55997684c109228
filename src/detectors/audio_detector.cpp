#include "audio_detector.h"

#include "core/settings.h"
#include "core/translate.h"
#include "platform/sound_scope.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace kestrova {

namespace {
const QString SoundLimitKey = QStringLiteral("SoundLimit");
}

AudioDetector::AudioDetector(QWidget* parent)
    : QWidget(parent, Qt::Window),
      soundDevice_(new QComboBox(this)),
      limit_(new QSlider(Qt::Horizontal, this)),
      startCapture_(new QPushButton(Translate(QStringLiteral("Start Capture trigged by sound level detection")), this)),
      audio_(new SoundScope(this)),
      problem_(new QLabel(this)) {
    setObjectName(QStringLiteral("AudioDetector"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Translate(QStringLiteral("Audio Detector")));
    soundDevice_->setObjectName(QStringLiteral("SoundDevice"));
    limit_->setObjectName(QStringLiteral("Limit"));
    limit_->setRange(0, 100);
    limit_->setToolTip(Translate(QStringLiteral("Level limit (percent of full scale)")));
    startCapture_->setObjectName(QStringLiteral("StartCapture"));
    problem_->setObjectName(QStringLiteral("AudioProblem"));
    problem_->setWordWrap(true);
    problem_->hide();

    auto* limitText = new QLabel(this);
    limitText->setObjectName(QStringLiteral("LimitText"));
    const auto showLimit = [limitText](int value) { limitText->setText(Translate(QStringLiteral("Limit: %1%")).arg(value)); };
    connect(limit_, &QSlider::valueChanged, limitText, showLimit);
    auto* limitRow = new QHBoxLayout;
    limitRow->addWidget(limit_, 1);
    limitRow->addWidget(limitText);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(soundDevice_);
    layout->addWidget(audio_);
    layout->addLayout(limitRow);
    layout->addWidget(problem_);
    layout->addWidget(startCapture_);

    for (int i = 0; i < audio_->deviceCount(); ++i) soundDevice_->addItem(audio_->deviceName(i));
    soundDevice_->setCurrentIndex(0);
    bool numeric = false;
    const int stored = GetSetting(SettingsAppTitle(), QStringLiteral("System"), SoundLimitKey, QStringLiteral("80")).toInt(&numeric);
    limit_->setValue(numeric ? stored : 80);
    showLimit(limit_->value());

    connect(audio_, &SoundScope::problemChanged, this, [this](const QString& text) {
        problem_->setText(text);
        problem_->setVisible(!text.isEmpty());
    });
    connect(audio_, &SoundScope::limitReached, this, &AudioDetector::limitReached);
    connect(limit_, &QSlider::valueChanged, this, &AudioDetector::limitChanged);
    connect(soundDevice_, &QComboBox::currentIndexChanged, this, &AudioDetector::deviceChosen);
    connect(startCapture_, &QPushButton::clicked, this, [this] { startCapture_->setEnabled(false); });

    audio_->setLimit(limit_->value());
    audio_->setDevice(soundDevice_->currentIndex());
    audio_->setActive(true);
}

bool AudioDetector::armed() const { return !startCapture_->isEnabled(); }

void AudioDetector::limitChanged(int value) {
    audio_->setLimit(value);
    SaveSetting(SettingsAppTitle(), QStringLiteral("System"), SoundLimitKey, QString::number(audio_->limit()));
    audio_->setActive(true);
}

void AudioDetector::deviceChosen(int index) {
    audio_->setActive(false);
    audio_->setDevice(index);
    audio_->setActive(true);
}

void AudioDetector::limitReached() {
    if (!armed() || fired_) return;
    fired_ = true;
    audio_->setActive(false);
    emit triggered();
    close();
}

}  // namespace kestrova
