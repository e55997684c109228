#include "avi_builder_panel.h"

#include "core/global_state.h"
#include "core/translate.h"
#include "imaging/image_window.h"
#include "platform/media/recorder.h"
#include "platform/prompts.h"
#include "ui/button_pictures.h"
#include "ui/keyed.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace kestrova {

namespace {

// The build hands frames to the encoder for at most this long per turn of the event loop.
constexpr int BuildSliceMs = 30;

// The compressor the list starts with: the first whose name holds "divx", a later one preferred to
// position 0; else the first.
int PreferredCompressor(const QStringList& names) {
    int found = -1;
    for (int i = 0; i < names.size(); ++i) {
        if (!names[i].toLower().contains(QLatin1String("divx"))) continue;
        if (found < 0 || found == 0) found = i;
        if (found > 0) break;
    }
    return std::max(found, 0);
}

}  // namespace

AviBuilderPanel::AviBuilderPanel(std::function<QString()> fpsText, QWidget* parent)
    : QWidget(parent), lstDIBList(new QListWidget(this)), AviBuilderCursors(new QToolBar(this)), ImgAviCodec(new QComboBox(this)),
      BuildAVI(new QPushButton(Translate(QStringLiteral("Build AVI")), this)), fpsText_(std::move(fpsText)) {
    setObjectName(QStringLiteral("AviBuilderPanel"));
    lstDIBList->setObjectName(QStringLiteral("lstDIBList"));
    AviBuilderCursors->setObjectName(QStringLiteral("AviBuilderCursors"));
    ImgAviCodec->setObjectName(QStringLiteral("ImgAviCodec"));
    BuildAVI->setObjectName(QStringLiteral("BuildAVI"));
    lstDIBList->setMinimumWidth(260);
    lstDIBList->setMaximumHeight(90);

    const std::pair<const char*, const char*> keys[] = {{"add", "Add bitmap files"},  {"delete", "Remove the selected file"},
                                                        {"up", "Move up"},            {"down", "Move down"},
                                                        {"clear", "Clear the list"}};
    for (const auto& [key, tooltip] : keys) {
        const QString name = QString::fromLatin1(key);
        QAction* action = AddKeyedButton(AviBuilderCursors, name, name, Translate(QString::fromLatin1(tooltip)));
        action->setIcon(ButtonPicture(name));
        connect(action, &QAction::triggered, this, [this, name] { toolbarClicked(name); });
    }
    auto* group = new QMenu(this);
    QAction* groupItem = group->addAction(Translate(QStringLiteral("Group Selection")));
    SetKey(groupItem, QStringLiteral("group"));
    connect(groupItem, &QAction::triggered, this, &AviBuilderPanel::AddGroupToAviBuilder);
    button(QStringLiteral("add"))->setMenu(group);
    if (auto* addButton = qobject_cast<QToolButton*>(AviBuilderCursors->widgetForAction(button(QStringLiteral("add"))))) {
        addButton->setPopupMode(QToolButton::MenuButtonPopup);
    }

    QStringList names;
    for (const media::VideoCompressor& compressor : media::VideoCompressors()) names << compressor.name;
    ImgAviCodec->addItems(names);
    ImgAviCodec->setCurrentIndex(PreferredCompressor(names));
    ImgAviCodec->setToolTip(Translate(QStringLiteral("Compressor")));

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(lstDIBList, 0, 0, 2, 1);
    grid->addWidget(AviBuilderCursors, 0, 1);
    grid->addWidget(ImgAviCodec, 1, 1);
    grid->addWidget(BuildAVI, 0, 2, 2, 1);

    connect(lstDIBList, &QListWidget::currentRowChanged, this, &AviBuilderPanel::entryChosen);
    connect(BuildAVI, &QPushButton::clicked, this, [this] {
        if (build_) endBuild(Translate(QStringLiteral("Cancelled.")), QString());
        else BuildAviFromList();
    });
    connect(&buildTimer_, &QTimer::timeout, this, &AviBuilderPanel::buildTick);
    buttons();
}

AviBuilderPanel::~AviBuilderPanel() { delete MultiImage; }

QAction* AviBuilderPanel::button(const QString& key) const { return FindKeyed<QAction>(AviBuilderCursors, key); }

void AviBuilderPanel::AddFilesToAviBuilder() {
    const QStringList files = CurrentPrompts().openFiles(Translate(QStringLiteral("Select File(s)...")),
                                                         QtFileFilter(QStringLiteral("Bitmap File (*.bmp)|*.bmp|JPEG File (*.jpg)|*.jpg")),
                                                         QString());
    for (const QString& file : files) AddBitmapToList(file);
}

void AviBuilderPanel::AddBitmapToList(const QString& path) { add(path, false); }

void AviBuilderPanel::AddBitmapToListQuietly(const QString& path) { add(path, true); }

void AviBuilderPanel::add(const QString& path, bool quietly) {
    if (build_) return;
    switch (list_.add(path)) {
    case AddOutcome::NotABitmap:
        // A JPEG chosen in the dialog, or a damaged file: said with its name when the user picked it.
        if (!quietly) MsgBox(path + Translate(QStringLiteral(" is not a bitmap file.")), PromptIcon::Information);
        return;
    case AddOutcome::DifferentFormat:
        if (!quietly) MsgBox(Translate(QStringLiteral("Chosen bitmap file is a different format ! ")), PromptIcon::Information);
        break;
    case AddOutcome::Added: {
        QString why;
        const QImage picture = ReadBitmapFrame(path, why);
        if (list_.paths().size() > 1 || MultiImage) showPreview(picture, path);
        refreshList(lstDIBList->currentRow());
        break;
    }
    }
    buttons();
}

void AviBuilderPanel::AddGroupToAviBuilder() {
    if (build_) return;
    QString folder = CurrentPrompts().chooseFolder(Translate(QStringLiteral("Choose the path")), QDir::homePath());
    if (folder.isEmpty()) return;
    if (!folder.endsWith(u'/')) folder += u'/';
    const std::optional<QString> mask = CurrentPrompts().input(
        QStringLiteral("Enter the mask for the files: (eg. *.BMP)\n\nExample: MyFiles???a.bmp\n\nAtention: files with different "
                       "resolution will be ignored."),
        MessageTitle(), QStringLiteral("*.bmp"));
    if (!mask || mask->isEmpty()) return;
    emit panelText(QStringLiteral("filesize"), Translate(QStringLiteral("Searching for files...")));
    for (const QString& file : FindBitmaps(folder, *mask)) {
        emit panelText(QStringLiteral("filesize"), QStringLiteral("Reading ") + QFileInfo(file).fileName());
        AddBitmapToListQuietly(file);
    }
}

void AviBuilderPanel::toolbarClicked(const QString& key) {
    if (build_) return;
    const int row = lstDIBList->currentRow();
    if (key == QLatin1String("add")) {
        AddFilesToAviBuilder();
    } else if (key == QLatin1String("delete")) {
        if (row < 0) return;
        list_.remove(row);
        refreshList(std::min(row, int(list_.paths().size()) - 1));
        if (list_.paths().isEmpty()) {
            if (MasterImage) MasterImage->clear();
            closePreview();
        }
        buttons();
    } else if (key == QLatin1String("up")) {
        if (list_.moveUp(row)) refreshList(row - 1);
    } else if (key == QLatin1String("down")) {
        if (list_.moveDown(row)) refreshList(row + 1);
    } else if (key == QLatin1String("clear")) {
        ClearAVIBuilderBuffer();
    }
}

void AviBuilderPanel::ClearAVIBuilderBuffer() {
    if (build_) endBuild(Translate(QStringLiteral("Cancelled.")), QString());
    list_.clear();
    refreshList(-1);
    closePreview();
    buttons();
}

void AviBuilderPanel::refreshList(int selected) {
    const QSignalBlocker quiet(lstDIBList);
    lstDIBList->clear();
    lstDIBList->addItems(list_.paths());
    lstDIBList->setCurrentRow(selected);
}

void AviBuilderPanel::buttons() {
    const qsizetype count = list_.paths().size();
    const bool idle = !build_;
    for (const char* key : {"up", "down"}) button(QString::fromLatin1(key))->setEnabled(idle && count >= 2);
    for (const char* key : {"clear", "delete"}) button(QString::fromLatin1(key))->setEnabled(idle && count >= 1);
    button(QStringLiteral("add"))->setEnabled(idle);
    BuildAVI->setEnabled(count >= 1);
    BuildAVI->setText(idle ? Translate(QStringLiteral("Build AVI")) : Translate(QStringLiteral("Cancel")));
}

void AviBuilderPanel::entryChosen(int row) {
    if (build_ || row < 0 || row >= list_.paths().size()) return;
    QString why;
    showPreview(ReadBitmapFrame(list_.paths()[row], why), list_.paths()[row]);
}

void AviBuilderPanel::showPreview(const QImage& picture, const QString& caption) {
    if (!MultiImage) {
        MultiImage = new QWidget(window(), Qt::Window | Qt::Tool);
        MultiImage->setObjectName(QStringLiteral("MultiImage"));
        MasterImage = new QLabel(MultiImage);
        MasterImage->setObjectName(QStringLiteral("MasterImage"));
        auto* layout = new QVBoxLayout(MultiImage);
        layout->setContentsMargins(8, 10, 8, 10);
        layout->addWidget(MasterImage);
    }
    if (!picture.isNull()) MasterImage->setPixmap(QPixmap::fromImage(picture));
    MultiImage->setWindowTitle(caption);
    MultiImage->adjustSize();
    MultiImage->show();
}

void AviBuilderPanel::closePreview() {
    if (MultiImage) MultiImage->close();
}

void AviBuilderPanel::BuildAviFromList() {
    if (build_ || list_.paths().isEmpty()) return;
    QString proposed = Vars.CaptureFileName;
    if (proposed.size() >= 3) proposed = proposed.left(proposed.size() - 3) + QStringLiteral("avi");
    const QString path = CurrentPrompts().saveFile(Translate(QStringLiteral("Save AVI")), QtFileFilter(QStringLiteral("Video Clip AVI (*.avi)|*.avi")),
                                                   proposed);
    if (path.isEmpty()) return;
    // The compressor is confirmed in a window of its own; cancelling it ends the build quietly. The
    // window is modal to the main window without a loop of its own: OK goes on from its signal.
    auto* options = new QDialog(window());
    options->setObjectName(QStringLiteral("AviSaveOptions"));
    options->setWindowTitle(Translate(QStringLiteral("Video Compression")));
    options->setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(options);
    layout->addWidget(new QLabel(Translate(QStringLiteral("Compressor:")), options));
    auto* choice = new QComboBox(options);
    choice->setObjectName(QStringLiteral("choice"));
    for (int i = 0; i < ImgAviCodec->count(); ++i) choice->addItem(ImgAviCodec->itemText(i));
    choice->setCurrentIndex(ImgAviCodec->currentIndex());
    layout->addWidget(choice);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, options);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, options, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, options, &QDialog::reject);
    connect(options, &QDialog::accepted, this, [this, path, choice] {
        ImgAviCodec->setCurrentIndex(choice->currentIndex());
        startBuild(path);
    });
    options->open();
}

void AviBuilderPanel::startBuild(const QString& path) {
    if (build_ || list_.paths().isEmpty()) return;
    AviBuildSettings settings;
    settings.out = path;
    settings.paths = list_.paths();
    settings.fps = BuildFrameRate(fpsText_ ? fpsText_() : QString());
    settings.compressor = std::max(0, ImgAviCodec->currentIndex());
    lstDIBList->setCurrentRow(0);
    showPreview(QImage(), Translate(QStringLiteral("Reading first image...")));
    auto build = std::make_unique<AviBuild>(settings);
    bool firstUnreadable = false;
    const QString failed = build->start(firstUnreadable);
    if (firstUnreadable) {
        MsgBox(Translate(QStringLiteral("Could not load first bitmap file.")), PromptIcon::Exclamation);
        return;
    }
    if (!failed.isEmpty()) {
        MsgBox(Translate(QStringLiteral("There was an error writing ")) + path, PromptIcon::Critical);
        return;
    }
    MultiImage->setWindowTitle(Translate(QStringLiteral("Initializing AVI File...")));
    build_ = std::move(build);
    buildPath_ = path;
    buttons();
    buildTimer_.start(0);
}

void AviBuilderPanel::buildTick() {
    QElapsedTimer slice;
    slice.start();
    int shown = -1;
    while (build_ && slice.elapsed() < BuildSliceMs) {
        const int index = build_->next();
        const AviBuild::Step step = build_->step();
        if (step == AviBuild::Step::Busy) break;
        if (step == AviBuild::Step::Failed) return endBuild(QString(), build_->failure());
        if (step == AviBuild::Step::Done) {
            const QString failed = build_->finish();
            const int count = build_->count();
            return endBuild(failed.isEmpty() ? QStringLiteral("Finished. (%1 frames)").arg(count) : QString(), failed);
        }
        shown = index;
    }
    if (shown >= 0) {
        // One picture and caption per turn: the latest frame handed over.
        const QSignalBlocker quiet(lstDIBList);
        lstDIBList->setCurrentRow(shown);
        showPreview(build_->lastFrame(), BuildingCaption(shown, build_->count(), list_.paths()[shown]));
    }
}

void AviBuilderPanel::endBuild(const QString& caption, const QString& error) {
    buildTimer_.stop();
    if (build_) build_->cancel();
    build_.reset();
    buttons();
    if (!caption.isEmpty() && MultiImage) MultiImage->setWindowTitle(caption);
    if (!error.isEmpty()) MsgBox(Translate(QStringLiteral("There was an error writing ")) + buildPath_ + QStringLiteral("\n") + error, PromptIcon::Critical);
}

}  // namespace kestrova
