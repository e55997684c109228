#include "video_settings.h"

#include "core/global_state.h"
#include "core/number_forms.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QWindow>

namespace kestrova {

namespace {

QLineEdit* NumberBox(const QString& name, long long value, QWidget* parent) {
    auto* box = new QLineEdit(QString::number(value), parent);
    box->setObjectName(name);
    return box;
}

// A label passes the press on to the window, so that dragging it moves the window.
QLabel* Caption(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

}  // namespace

VideoSettings::VideoSettings(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("VideoSettings"));
    setWindowTitle(QStringLiteral("Video Settings"));
    auto* grid = new QGridLayout(this);
    yield_ = new QComboBox(this);
    yield_->setObjectName(QStringLiteral("Yield"));
    yield_->addItems({QStringLiteral("Exclusive Task (Recommended)"), QStringLiteral("Background Task (Multi-Threading)")});
    yield_->setCurrentIndex(Vars.CaptureYield == 0 ? 0 : 1);
    videoBuffers_ = NumberBox(QStringLiteral("VideoBuffers"), Vars.VideoBuffers, this);
    audioBuffers_ = NumberBox(QStringLiteral("AudioBuffers"), Vars.AudioBuffers, this);
    dosBuffers_ = new QCheckBox(QStringLiteral("Use DOS buffers"), this);
    dosBuffers_->setObjectName(QStringLiteral("DOSBuffers"));
    dosBuffers_->setChecked(Vars.UseDOSBuffers);
    disableCache_ = new QCheckBox(QStringLiteral("Disable Write Cache"), this);
    disableCache_->setObjectName(QStringLiteral("DisableCache"));
    disableCache_->setChecked(Vars.DisableWriteCache);
    maxIndexSize_ = NumberBox(QStringLiteral("MaxIndexSize"), Vars.MaxIndexSize, this);
    maxIndexSize_->setToolTip(QStringLiteral("This parameter controls the maximum number of frames captured (default: 324000 = 3 hours)"));
    chunk_ = NumberBox(QStringLiteral("Chunk"), Vars.ChunkGranularity, this);
    droppedFrames_ = new QComboBox(this);
    droppedFrames_->setObjectName(QStringLiteral("DroppedFrames"));
    for (int n = 0; n <= 100; ++n) droppedFrames_->addItem(QStringLiteral("Warn when drop %1 % of frames").arg(n));
    droppedFrames_->setCurrentIndex(std::clamp(Vars.DropErrorPercent, 0, 100));

    int row = 0;
    grid->addWidget(Caption(QStringLiteral("Capture operation:"), this), row, 0);
    grid->addWidget(yield_, row++, 1, 1, 3);
    grid->addWidget(Caption(QStringLiteral("Warning: Some devices cannot support Multi-threading..."), this), row++, 0, 1, 4);
    grid->addWidget(Caption(QStringLiteral("Memory & Disk:"), this), row++, 0, 1, 4);
    grid->addWidget(Caption(QStringLiteral("Video Buffers:"), this), row, 0);
    grid->addWidget(videoBuffers_, row, 1);
    grid->addWidget(Caption(QStringLiteral("Audio Buffers:"), this), row, 2);
    grid->addWidget(audioBuffers_, row++, 3);
    grid->addWidget(dosBuffers_, row, 0, 1, 2);
    grid->addWidget(disableCache_, row++, 2, 1, 2);
    grid->addWidget(Caption(QStringLiteral("AVI File:"), this), row++, 0, 1, 4);
    grid->addWidget(Caption(QStringLiteral("Max. Index Size:"), this), row, 0);
    grid->addWidget(maxIndexSize_, row, 1);
    grid->addWidget(Caption(QStringLiteral("Chunk Granularity:"), this), row, 2);
    grid->addWidget(chunk_, row++, 3);
    grid->addWidget(Caption(QStringLiteral("Dropped Frames:"), this), row, 0);
    grid->addWidget(droppedFrames_, row++, 1, 1, 3);
    grid->addWidget(Caption(QStringLiteral("It is recommend that only advanced users change this parameters."), this), row++, 0, 1, 4);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* defaults = buttons->addButton(QStringLiteral("Defaults"), QDialogButtonBox::ResetRole);
    defaults->setObjectName(QStringLiteral("Defaults"));
    connect(defaults, &QPushButton::clicked, this, &VideoSettings::Defaults);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        store();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    grid->addWidget(buttons, row, 0, 1, 4);
}

void VideoSettings::Defaults() {
    yield_->setCurrentIndex(1);
    videoBuffers_->setText(QStringLiteral("0"));
    audioBuffers_->setText(QStringLiteral("0"));
    dosBuffers_->setChecked(false);
    disableCache_->setChecked(true);
    maxIndexSize_->setText(QStringLiteral("324000"));
    chunk_->setText(QStringLiteral("0"));
    droppedFrames_->setCurrentIndex(10);
}

void VideoSettings::store() {
    Vars.CaptureYield = yield_->currentIndex();
    Vars.VideoBuffers = ValInt(videoBuffers_->text());
    Vars.AudioBuffers = ValInt(audioBuffers_->text());
    Vars.UseDOSBuffers = dosBuffers_->isChecked();
    Vars.DisableWriteCache = disableCache_->isChecked();
    Vars.MaxIndexSize = ValInt(maxIndexSize_->text());
    Vars.ChunkGranularity = ValInt(chunk_->text());
    Vars.DropErrorPercent = droppedFrames_->currentIndex();
}

// A press on the background or a label moves the window, as a drag of its caption would.
void VideoSettings::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && windowHandle()) windowHandle()->startSystemMove();
    QDialog::mousePressEvent(event);
}

}  // namespace kestrova
