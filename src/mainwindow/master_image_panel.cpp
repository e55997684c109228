// Stills and the image settings toolbar of the image and multiple-image panels: the insertion
// editor over a still of the video, the image counter, the preferences; SaveImage with its shutter
// sound.

#include "master.h"

#include "capture/device_toolbar.h"
#include "capture/video_screen.h"
#include "controller/output_names.h"
#include "core/folders.h"
#include "core/global_state.h"
#include "core/number_forms.h"
#include "core/translate.h"
#include "imaging/image_window.h"
#include "imaging/insertion_editor.h"
#include "imaging/insertion_window.h"
#include "platform/picture_writer.h"
#include "platform/prompts.h"
#include "platform/sound.h"
#include "ui/keyed.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiSubWindow>
#include <QScreen>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>

namespace kestrova {

void Master::buildImageSettings() {
    const std::array<const char*, 2> bands = {"image", "multiple"};
    for (int element = 0; element < 2; ++element) {
        auto* bar = new QToolBar(this);
        bar->setObjectName(QStringLiteral("imagesettings%1").arg(element));
        bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        QAction* insert = AddKeyedButton(bar, QStringLiteral("insert"), Translate(QStringLiteral("&Insert Data")),
                                         Translate(QStringLiteral("&Insert Data")));
        insert->setCheckable(true);
        connect(insert, &QAction::toggled, this, &Master::insertClicked);
        connect(AddKeyedButton(bar, QStringLiteral("filenames"), Translate(QStringLiteral("Counter")), QString()),
                &QAction::triggered, this, &Master::imageCounterClicked);
        connect(AddKeyedButton(bar, QStringLiteral("preferences"), Translate(QStringLiteral("Preferences")), QString()),
                &QAction::triggered, this, [this] { showPreferences(); });
        for (QAction* button : bar->actions()) button->setIcon(ButtonPicture(KeyOf(button)));
        band(QString::fromLatin1(bands[size_t(element)]))->addWidget(bar);
        imageSettings_[size_t(element)] = bar;
    }
    // The device toolbar's still goes into a new editor, as "Capture Frame" does.
    QToolButton* snapshot = deviceToolbar_->button(QStringLiteral("snapshot"));
    snapshot->setEnabled(true);
    connect(snapshot, &QToolButton::clicked, this, [this] { SaveImage(false); });
}

bool Master::insertDown(int element) const {
    return FindKeyed<QAction>(imageSettings_[size_t(element)], QStringLiteral("insert"))->isChecked();
}

void Master::insertClicked(bool down) {
    const QString file = Vars.AppFolder + QStringLiteral("default.iif");
    if (!down) {
        if (insertion_ != nullptr) {
            insertion_->editor()->saveFile(file);
            insertion_->close();
        }
        return;
    }
    if (insertion_ == nullptr) {
        insertion_ = new Insertion(this);
        insertion_->setWindowFlag(Qt::Window);
    }
    insertion_->resize(videoScreen_->width(), videoScreen_->height() + insertion_->toolbar()->sizeHint().height());
    // A folder of our own in the shared temporary folder: a fixed name there could be another
    // user's link to a file of ours.
    const QTemporaryDir folder(TempFolder() + QStringLiteral("kestrova-XXXXXX"));
    const QString background = folder.filePath(QStringLiteral("vc4tmp.jpg"));
    if (folder.isValid()) {
        videoScreen_->SaveStill(background, 90, false);
        insertion_->editor()->loadBackground(background);
        QFile::remove(background);
    }
    insertion_->editor()->openFile(file);
    Vars.InsertionFileName = file;
    insertion_->show();
}

void Master::imageCounterClicked() {
    const std::optional<QString> answer = CurrentPrompts().input(
        ImageCounterPrompt(), windowTitle(), FormatMask(Vars.ImageCounterOffset, Vars.ImageCounterMask));
    const ImageCounter counter = ImageCounterFromAnswer(answer.value_or(QString()));
    Vars.ImageCounterMask = counter.mask;
    Vars.ImageCounterOffset = counter.offset;
}

void Master::SaveImage(bool toClipboard) {
    const QString temporary = Vars.AppFolder + QStringLiteral("qorbtmp.tmp");
    QFile::remove(temporary);
    videoScreen_->SaveStill(temporary, 100, false);
    if (Vars.AVIInfo[9] == QLatin1String("1")) PlaySound(DataFilePath(QStringLiteral("camera.wav")));
    auto* editor = new Image(this);
    editor->setWindowFlag(Qt::Window);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    editor->setPicture(ReadPicture(temporary));
    QFile::remove(temporary);
    editor->setResetPicture(editor->picture());
    const CaptureControl& control = *videoScreen_->wdmX();
    editor->setWindowTitle(StillCaption(videoScreen_->dvConnected(), control.DVTimecode(), control.DVRecordingDate()));
    if (toClipboard) {
        editor->setWindowTitle(Translate(QStringLiteral("Image On Clipboard")));
        QGuiApplication::clipboard()->setImage(editor->picture());
    }
    placeEditor(*editor);
    editor->show();
}

void Master::placeEditor(Image& editor) const {
    editor.layOut();
    const QRect available = screen() != nullptr ? screen()->availableGeometry() : QRect(0, 0, 1280, 1024);
    const QSize size = editor.size().boundedTo(available.size());
    editor.resize(size);
    // Beside the video window where it fits, else over it; on the screen either way.
    const QRect video(videoFrame_->mapToGlobal(QPoint(0, 0)), videoFrame_->size());
    QPoint at(video.right() + 1, video.top());
    if (at.x() + size.width() > available.right()) at = video.topLeft();
    at.setX(std::clamp(at.x(), available.left(), std::max(available.left(), available.right() + 1 - size.width())));
    at.setY(std::clamp(at.y(), available.top(), std::max(available.top(), available.bottom() + 1 - size.height())));
    editor.move(at);
}

void Master::SyncCaptureFileName() { Vars.CaptureFileName = SyncedCaptureFileName(videoScreen_->GetFilename(), Vars.AppFolder); }

void Master::ApplyCaptureExtension() {
    const CaptureExtension fitted = kestrova::ApplyCaptureExtension(
        Vars.CaptureFileName, band(QStringLiteral("movie"))->isVisibleTo(this), band(QStringLiteral("image"))->isVisibleTo(this),
        band(QStringLiteral("multiple"))->isVisibleTo(this), multipleImageMode());
    Vars.CaptureFileName = fitted.fileName;
    if (fitted.panel) statusBarPanel(QStringLiteral("filename"))->setText(*fitted.panel);
}

}  // namespace kestrova
