#include "video_codec.h"

#include "core/translate.h"
#include "platform/capture_control.h"
#include "platform/prompts.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace kestrova {

namespace {

void fill(QListWidget* list, int count, const std::function<QString(int)>& name, int chosen) {
    for (int i = 0; i < count; ++i) list->addItem(name(i));
    const QSignalBlocker quiet(list);
    list->setCurrentRow(chosen >= 0 && chosen < count ? chosen : 0);
}

// The recorder's compressors take their settings from the program (quality, key frames); there is
// nothing more to adjust, and the button says so rather than doing nothing.
void noSettings(const QString& name) { MsgBox(name + Translate(QStringLiteral(": this compressor has no settings to adjust."))); }

}  // namespace

VideoCODEC::VideoCODEC(CaptureControl& control, bool audio, QWidget* parent)
    : QWidget(parent), VideoCompressor(new QListWidget(this)), AudioCompressor(new QListWidget(this)),
      CODECsetup(new QPushButton(Translate(QStringLiteral("Settings")), this)),
      aCodecSetup(new QPushButton(Translate(QStringLiteral("Settings")), this)), control_(control) {
    setObjectName(QStringLiteral("VideoCODEC"));
    setWindowTitle(Translate(QStringLiteral("Video/Audio Compression")));
    VideoCompressor->setObjectName(QStringLiteral("VideoCompressor"));
    AudioCompressor->setObjectName(QStringLiteral("AudioCompressor"));
    CODECsetup->setObjectName(QStringLiteral("CODECsetup"));
    aCodecSetup->setObjectName(QStringLiteral("aCodecSetup"));
    auto* videoLabel = new QLabel(Translate(QStringLiteral("Video Compressor:")), this);
    auto* audioLabel = new QLabel(Translate(QStringLiteral("Audio Compressor:")), this);
    auto* hint = new QLabel(Translate(QStringLiteral("To adjust the compression settings press settings (if available)")), this);
    hint->setWordWrap(true);
    auto* grid = new QGridLayout(this);
    grid->addWidget(videoLabel, 0, 0);
    grid->addWidget(VideoCompressor, 1, 0);
    grid->addWidget(CODECsetup, 1, 1, Qt::AlignTop);
    grid->addWidget(audioLabel, 2, 0);
    grid->addWidget(AudioCompressor, 3, 0);
    grid->addWidget(aCodecSetup, 3, 1, Qt::AlignTop);
    grid->addWidget(hint, 4, 0, 1, 2);

    for (QWidget* part : std::initializer_list<QWidget*>{aCodecSetup, audioLabel, AudioCompressor}) part->setEnabled(audio);
    CODECsetup->setEnabled(false);
    aCodecSetup->setEnabled(false);
    fill(VideoCompressor, control.VideoCompressorCount(), [&](int i) { return control.VideoCompressorName(i); },
         control.VideoCompressorIndex());
    if (audio) {
        fill(AudioCompressor, control.AudioCompressorCount(), [&](int i) { return control.AudioCompressorName(i); },
             control.AudioCompressorIndex());
    }
    connect(VideoCompressor, &QListWidget::currentRowChanged, this, [this](int row) {
        control_.setVideoCompressorIndex(row);
        CODECsetup->setEnabled(true);
    });
    connect(AudioCompressor, &QListWidget::currentRowChanged, this, [this](int row) {
        control_.setAudioCompressorIndex(row);
        aCodecSetup->setEnabled(true);
    });
    connect(CODECsetup, &QPushButton::clicked, this, [this] { noSettings(VideoCompressor->currentItem()->text()); });
    connect(aCodecSetup, &QPushButton::clicked, this, [this] { noSettings(AudioCompressor->currentItem()->text()); });
}

VideoCODEC* ShowVideoCODEC(CaptureControl& control, bool audio, QWidget* parent) {
    QWidget* owner = parent ? parent->window() : nullptr;
    if (owner) {
        if (auto* open = owner->findChild<VideoCODEC*>(QStringLiteral("VideoCODEC"), Qt::FindDirectChildrenOnly)) {
            open->raise();
            open->activateWindow();
            return open;
        }
    }
    auto* window = new VideoCODEC(control, audio, owner);
    window->setWindowFlag(Qt::Window);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return window;
}

}  // namespace kestrova
