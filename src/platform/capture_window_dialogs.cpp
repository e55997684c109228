// The capture window's procedures that talk to the user or the disk: preview, the driver's dialogs
// and the still written as a bitmap.

#include "capture_window.h"

#include "image_view.h"
#include "media/recorder.h"
#include "picture_writer.h"
#include "prompts.h"

#include "core/text_files.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace kestrova {

namespace {

void Refused(const QString& text) { CurrentPrompts().message(text, PromptIcon::Critical, PromptButtons::Ok, MessageTitle()); }

// A modal list to pick one entry from; the chosen row, or -1 on cancel.
int ChooseRow(QWidget* parent, const QString& title, const QString& label, const QStringList& rows, int current) {
    QDialog dialog(parent);
    dialog.setWindowTitle(title);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(label, &dialog));
    auto* list = new QComboBox(&dialog);
    list->setObjectName(QStringLiteral("choice"));
    list->addItems(rows);
    list->setCurrentIndex(std::max(0, current));
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    return dialog.exec() == QDialog::Accepted ? list->currentIndex() : -1;
}

CaptureWindow* Idle(quintptr window) {
    CaptureWindow* capture = CaptureWindow::find(window);
    return capture && capture->driver().connected() && !capture->driver().capturing() ? capture : nullptr;
}

}  // namespace

bool capPreview(quintptr window, int framesPerSecond) {
    CaptureWindow* capture = CaptureWindow::find(window);
    if (!capture || !capture->driver().connected()) {
        Refused(QStringLiteral("Torvik: Cannot set preview mode."));
        return false;
    }
    capture->setPreview(true, PreviewInterval(framesPerSecond));
    return true;
}

bool capDlgVideoFormat(quintptr window) {
    CaptureWindow* capture = Idle(window);
    if (!capture || !capture->driver().caps().fHasDlgVideoFormat) {
        Refused(QStringLiteral("Torvik: Cannot show Video Format Dialog."));
        return false;
    }
    QStringList rows;
    for (const media::FormatRow& row : capture->driver().device().formats) {
        rows << QStringLiteral("%1 x %2 (%3bpp)").arg(row.width).arg(row.height).arg(row.bitsPerPixel);
    }
    const int row = ChooseRow(capture->window(), QStringLiteral("Video Format"), QStringLiteral("Image size:"), rows,
                              capture->driver().formatRow());
    if (row >= 0) {
        const media::FormatRow& chosen = capture->driver().device().formats[size_t(row)];
        capture->driver().selectFormat(QSize(chosen.width, chosen.height), chosen.fps);
    }
    return true;
}

bool capDlgVideoSource(quintptr window) {
    CaptureWindow* capture = Idle(window);
    if (!capture || !capture->driver().caps().fHasDlgVideoSource) {
        Refused(QStringLiteral("Torvik: Cannot show Video Source Dialog."));
        return false;
    }
    const int input = ChooseRow(capture->window(), QStringLiteral("Video Source"), QStringLiteral("Input:"),
                                capture->driver().device().inputs, capture->driver().input());
    if (input >= 0) capture->driver().selectInput(input);
    return true;
}

// No driver here has a display dialog of its own.
bool capDlgVideoDisplay(quintptr window) {
    CaptureWindow* capture = Idle(window);
    if (!capture || !capture->driver().caps().fHasDlgVideoDisplay) {
        Refused(QStringLiteral("Torvik: Cannot show Video Display Dialog."));
        return false;
    }
    return true;
}

bool capDlgVideoCompression(quintptr window) {
    CaptureWindow* capture = Idle(window);
    if (!capture) {
        Refused(QStringLiteral("Cannot show Video Compression Dialog."));
        return false;
    }
    QStringList names;
    for (const media::VideoCompressor& compressor : media::VideoCompressors()) names << compressor.name;
    const int chosen = ChooseRow(capture->window(), QStringLiteral("Video Compression"), QStringLiteral("Compressor:"),
                                 names, capture->driver().compressor);
    if (chosen >= 0) capture->driver().compressor = chosen;
    return true;
}

bool capFileSaveDIB(quintptr window, const QString& name) {
    CaptureWindow* capture = CaptureWindow::find(window);
    const QImage frame = capture ? capture->driver().currentFrame() : QImage();
    if (frame.isNull() || name.isEmpty()) return false;
    return WriteFileAtomically(name, BitmapFileBytes(ViewOf(frame.convertToFormat(QImage::Format_BGR888))));
}

}  // namespace kestrova
