#include "codecs_window.h"

#include "core/translate.h"
#include "platform/media/avi_codecs.h"

#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kestrova {

CodecsWindow::CodecsWindow(QWidget* parent) : QWidget(parent), codecs(new QTreeWidget(this)) {
    setObjectName(QStringLiteral("codecs"));
    setWindowTitle(QStringLiteral("Installed Video Compressors"));
    codecs->setObjectName(QStringLiteral("codecs"));
    codecs->setHeaderHidden(true);
    auto* video = new QTreeWidgetItem(codecs, {Translate(QStringLiteral("Video Compressors"))});
    video->setData(0, Qt::UserRole, QStringLiteral("video"));
    auto* audio = new QTreeWidgetItem(codecs, {Translate(QStringLiteral("Audio Compressors"))});
    audio->setData(0, Qt::UserRole, QStringLiteral("audio"));
    for (const media::AviCodec& codec : media::InstalledAviCodecs()) {
        auto* item = new QTreeWidgetItem(codec.video ? video : audio, {codec.name});
        item->setData(0, Qt::UserRole, codec.signature);
        new QTreeWidgetItem(item, {QStringLiteral("Signature: ") + codec.signature});
        new QTreeWidgetItem(item, {QStringLiteral("Writes: ") + (codec.encoder.isEmpty() ? QStringLiteral("no") : codec.encoder)});
        new QTreeWidgetItem(item, {QStringLiteral("Reads: ") + (codec.decoder.isEmpty() ? QStringLiteral("no") : codec.decoder)});
    }
    video->setExpanded(true);
    audio->setExpanded(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("This window shows all installed codecs in your system.")));
    layout->addWidget(codecs);
    for (const char* text : {"CODEC (Compressor/Decompressor), compresses and decompresses image data. Compression codecs can use "
                             "software or hardware to carry out their tasks.",
                             "Compression is used to reduce the size of the file on disk. Compression can be lossless or lossy, in "
                             "which some data is discarded, on the assumption that the loss will not be noticeable when the data is "
                             "decompressed."}) {
        auto* label = new QLabel(QString::fromLatin1(text));
        label->setWordWrap(true);
        layout->addWidget(label);
    }
    auto* close = new QPushButton(Translate(QStringLiteral("Close")));
    close->setObjectName(QStringLiteral("close"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    layout->addWidget(close, 0, Qt::AlignRight);
    resize(520, 560);
}

}  // namespace kestrova
