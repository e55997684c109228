#include "image_window.h"

#include "core/global_state.h"
#include "core/translate.h"
#include "imaging/effects.h"
#include "platform/picture_writer.h"
#include "platform/prompts.h"

#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

namespace kestrova {

namespace {

const char* const OpenFilter = "All files |*.bmp;*.jpg|Bitmap File (*.bmp)|*.bmp|JPEG Image File (*.jpg)|*.jpg|";
const char* const SaveFilter =
    "JPEG Image File (*.jpg)|*.jpg|JPEG 2000 Image File (*.jp2)|*.jp2|Bitmap File (*.bmp)|*.bmp|GIF File "
    "(*.gif)|*.gif|DIB File (*.dib)|*.dib|TIF File (*.tif)|*.tif|PNG File (*.png)|*.png|PCX File (*.pcx)|*.pcx|TGA "
    "File (*.tga)|*.tga";

struct DepthEntry {
    const char* key;
    const char* caption;
    int bits;
};
const DepthEntry Depths[] = {
    {"bd_1", "1 bit (B/W)", 1},
    {"bd_8", "8 bits (256 colors)", 8},
    {"bd_24", "24 bits (True Color)", 24},
    {"bd_32", "32 bits (true color with alpha channel)", 32},
};

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

}  // namespace

QString FilterExtension(const QString& filter) {
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("\\*(\\.[A-Za-z0-9]+)")).match(filter);
    return match.hasMatch() ? match.captured(1).toLower() : QString();
}

QString QtFileFilter(const QString& pipeFilter) {
    const QStringList parts = pipeFilter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts).join(u' ');
        filters << (description.endsWith(u')') ? description : description + QStringLiteral(" (") + patterns + u')');
    }
    return filters.join(QStringLiteral(";;"));
}

Image::Image(QWidget* parent) : QMainWindow(parent) {
    Mastertoolbar = addToolBar(QStringLiteral("Mastertoolbar"));
    Mastertoolbar->setObjectName(QStringLiteral("Mastertoolbar"));
    Mastertoolbar->setMovable(false);
    const auto button = [this](const char* key, const char* tooltip, QStyle::StandardPixmap icon) {
        QAction* action = Mastertoolbar->addAction(style()->standardIcon(icon), Translate(QString::fromLatin1(tooltip)));
        action->setObjectName(QString::fromLatin1(key));
        action->setToolTip(Translate(QString::fromLatin1(tooltip)));
        return action;
    };
    connect(button("open", "Open Image File", QStyle::SP_DialogOpenButton), &QAction::triggered, this, &Image::openImage);
    connect(button("save", "Save Image", QStyle::SP_DialogSaveButton), &QAction::triggered, this, &Image::saveImage);

    QAction* effects = button("effects", "Image Effects", QStyle::SP_BrowserReload);
    auto* menu = new QMenu(this);
    for (const Effect& effect : Effects()) {
        QAction* item = menu->addAction(Translate(QString::fromLatin1(effect.caption)));
        item->setObjectName(QString::fromLatin1(effect.key));
        connect(item, &QAction::triggered, this, [this, key = QString::fromLatin1(effect.key)] { runMenuKey(key); });
    }
    menu->addSeparator();
    for (const DepthEntry& depth : Depths) {
        QAction* item = menu->addAction(Translate(QString::fromLatin1(depth.caption)));
        item->setObjectName(QString::fromLatin1(depth.key));
        connect(item, &QAction::triggered, this, [this, key = QString::fromLatin1(depth.key)] { runMenuKey(key); });
    }
    menu->addSeparator();
    QAction* reset = menu->addAction(Translate(QStringLiteral("Reset Image")));
    reset->setObjectName(QStringLiteral("reset"));
    connect(reset, &QAction::triggered, this, [this] { runMenuKey(QStringLiteral("reset")); });
    effects->setMenu(menu);
    effectsButton = qobject_cast<QToolButton*>(Mastertoolbar->widgetForAction(effects));
    if (effectsButton) effectsButton->setPopupMode(QToolButton::MenuButtonPopup);
    connect(effects, &QAction::triggered, this, [this] { runMenuKey(QStringLiteral("reset")); });

    connect(button("clipboard", "Put on Clipboard", QStyle::SP_FileDialogDetailedView), &QAction::triggered, this,
            &Image::putOnClipboard);
    connect(button("print", "Print Image", QStyle::SP_FileIcon), &QAction::triggered, this, &Image::printImage);

    auto* area = new QWidget(this);
    MasterImage = new QLabel(area);
    MasterImage->setObjectName(QStringLiteral("MasterImage"));
    setCentralWidget(area);
    statusBar()->setObjectName(QStringLiteral("MasterStatus"));
}

void Image::setPicture(const QImage& picture) {
    picture_ = picture;
    MasterImage->setPixmap(QPixmap::fromImage(picture_));
    MasterImage->resize(picture_.size());
}

void Image::ProgressMessage(const QString& text) { statusBar()->showMessage(text); }

QString Image::progressMessage() const { return statusBar()->currentMessage(); }

bool Image::runMenuKey(const QString& key) {
    if (key == u"reset") {
        setPicture(reset_);
        return true;
    }
    for (const DepthEntry& depth : Depths) {
        if (key == QLatin1String(depth.key)) {
            setColourDepth(depth.bits);
            return true;
        }
    }
    const Effect* effect = FindEffect(key);
    if (!effect) return false;
    applyEffect(*effect);
    return true;
}

void Image::applyEffect(const Effect& effect) {
    if (picture_.isNull()) return;
    WaitCursor wait;
    emit statusText(QString());
    QImage work = picture_.convertToFormat(QImage::Format_BGR888);
    EffectOptions options;
    options.progress = [this](const QString& text) { ProgressMessage(text); };
    ApplyEffect(effect, PictureBits{work.bits(), work.width(), work.height(), int(work.bytesPerLine()), false}, options);
    setPicture(work);
    // The last progress text says the work is done.
    ProgressMessage(Translate(QString::fromLatin1(effect.caption)) + Translate(QStringLiteral(": done")));
    emit statusText(QString());
}

void Image::setColourDepth(int bits) {
    setPicture(ConvertColourDepth(picture_, bits));
    depthTag_ = QString::number(bits);
}

void Image::openImage() {
    const QString path = CurrentPrompts().openFile(Translate(QStringLiteral("Open Image File")),
                                                   QtFileFilter(QString::fromLatin1(OpenFilter)), QString());
    if (path.isEmpty()) return;
    WaitCursor wait;
    const QImage loaded = ReadPicture(path);
    if (loaded.isNull()) return;  // no message, the picture stays
    setPicture(loaded);
    setWindowTitle(QFileInfo(path).fileName());
    layOut();
}

void Image::saveImage() {
    if (picture_.isNull()) return;
    QString chosen;
    QString path = CurrentPrompts().saveFile(Translate(QStringLiteral("Save Image")), QtFileFilter(QString::fromLatin1(SaveFilter)),
                                             windowTitle(), &chosen);
    if (path.isEmpty()) return;
    // A name without an extension gets the chosen kind's, or the picture would be a bitmap of no kind.
    if (QFileInfo(path).suffix().isEmpty()) path += FilterExtension(chosen);
    WaitCursor wait;
    const QImage bgr = picture_.convertToFormat(QImage::Format_BGR888);
    QString why;
    if (!WritePicture(ViewOf(bgr), path, Vars.JpegQuality, depthTag_.isEmpty() ? 24 : depthTag_.toInt(), &why)) {
        MsgBox(Translate(QStringLiteral("Cannot write ")) + path + (why.isEmpty() ? QString() : QStringLiteral(": ") + why),
               PromptIcon::Exclamation);
        return;
    }
    setWindowTitle(QFileInfo(path).fileName());
}

void Image::putOnClipboard() {
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    clipboard->setImage(picture_);
    ProgressMessage(Translate(QStringLiteral("Image on Clipboard.")));
}

void Image::printImage() {
    QPrinter printer(QPrinter::HighResolution);
    if (printer.outputFormat() == QPrinter::NativeFormat && printer.printerName().isEmpty()) {
        MsgBox(Translate(QStringLiteral("No printer is available.")), PromptIcon::Exclamation);
        return;
    }
    if (!printTo(printer)) MsgBox(Translate(QStringLiteral("Cannot print the image.")), PromptIcon::Exclamation);
}

bool Image::printTo(QPrinter& printer) const {
    if (picture_.isNull()) return false;
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    // As large as the page allows, keeping the picture's proportions, from the top left.
    const QRect page = painter.viewport();
    const QSize size = picture_.size().scaled(page.size(), Qt::KeepAspectRatio);
    painter.drawImage(QRect(page.topLeft(), size), picture_);
    return painter.end();
}

void Image::layOut() {
    const QSize picture = picture_.size();
    const int width = std::max(picture.width() + 40, 240);
    MasterImage->setGeometry((width - picture.width()) / 2, 10, picture.width(), picture.height());
    centralWidget()->setMinimumSize(width, picture.height() + 20);
    resize(width, Mastertoolbar->sizeHint().height() + statusBar()->sizeHint().height() + picture.height() + 20);
}

void Image::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !isMinimized()) layOut();
}

}  // namespace kestrova
