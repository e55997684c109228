// The File, Edit, View, Toolbars, Help and Window menus of the main window. Items whose windows come
// with later parts of the program are there, disabled.

#include "master.h"

#include "capture/video_screen.h"
#include "core/global_state.h"
#include "core/settings.h"
#include "core/translate.h"
#include "imaging/image_window.h"
#include "platform/picture_writer.h"
#include "platform/prompts.h"
#include "ui/splash_window.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QProcess>

namespace kestrova {

namespace {

QAction* addItem(QMenu* menu, const QString& name, const QString& caption) {
    QAction* item = menu->addAction(Translate(caption));
    item->setObjectName(name);
    return item;
}

QAction* laterItem(QMenu* menu, const QString& name, const QString& caption) {
    QAction* item = addItem(menu, name, caption);
    item->setEnabled(false);
    return item;
}

}  // namespace

void ArrangeSubWindows(QMdiArea& area, Qt::Orientation orientation) {
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : area.subWindowList()) {
        if (window->isVisible() && !window->isMinimized()) windows << window;
    }
    if (windows.isEmpty()) return;
    const QRect space = area.viewport()->rect();
    const int count = static_cast<int>(windows.size());
    for (int i = 0; i < count; ++i) {
        if (orientation == Qt::Horizontal) {
            const int width = space.width() / count;
            windows[i]->setGeometry(i * width, 0, width, space.height());
        } else {
            const int height = space.height() / count;
            windows[i]->setGeometry(0, i * height, space.width(), height);
        }
    }
}

void ArrangeIcons(QMdiArea& area) {
    int left = 0;
    for (QMdiSubWindow* window : area.subWindowList()) {
        if (!window->isMinimized()) continue;
        window->move(left, area.viewport()->height() - window->height());
        left += window->width();
    }
}

void Master::buildMenus() {
    QMenu* file = menuBar()->addMenu(Translate(QStringLiteral("&File")));
    file->setObjectName(QStringLiteral("mnuFile"));
    const std::array<std::pair<const char*, const char*>, 5> modes = {{{"movie", "Movie Capture... (CTRL+M)"},
                                                                       {"image", "Image Capture... (CTRL+I)"},
                                                                       {"multiple", "Multiple Image Capture... (CTRL+U)"},
                                                                       {"avibuilder", "AVI Builder... (CTRL+A)"},
                                                                       {"webshare", "Webcam Broadcast... (CTRL+W)"}}};
    for (const auto& [key, caption] : modes) {
        const QString mode = QString::fromLatin1(key);
        connect(addItem(file, QStringLiteral("mnuMode_") + mode, QString::fromLatin1(caption)), &QAction::triggered, this,
                [this, mode] { SetCaptureMode(mode); });
    }
    connect(addItem(file, QStringLiteral("mnuBroadcast"), QStringLiteral("Windows Media Broadcast...")), &QAction::triggered,
            this, [] {
                if (!QProcess::startDetached(Vars.AppFolder + QStringLiteral("kestrova-broadcast"))) {
                    MsgBox(Translate(QStringLiteral("Error 02: Cannot run Video Kestrova Broadcast")), PromptIcon::Critical);
                }
            });
    file->addSeparator();
    connect(addItem(file, QStringLiteral("mnuOpen"), QStringLiteral("&Open Capture File...")), &QAction::triggered, this,
            &Master::openCaptureFile);
    laterItem(file, QStringLiteral("mnuSave"), QStringLiteral("&Save Capture File..."));
    file->addSeparator();
    connect(addItem(file, QStringLiteral("mnuPreferences"), QStringLiteral("&Preferences")), &QAction::triggered, this,
            [this] { showPreferences(); });
    connect(addItem(file, QStringLiteral("mnuSystemInformation"), QStringLiteral("&System Information...")),
            &QAction::triggered, this, [] {
                // No system information tool is known on this platform.
                MsgBox(QStringLiteral("System Information Is Unavailable At This Time"));
            });
    file->addSeparator();
    connect(addItem(file, QStringLiteral("mnuExit"), QStringLiteral("E&xit")), &QAction::triggered, this, &Master::exitProgram);

    QMenu* edit = menuBar()->addMenu(Translate(QStringLiteral("&Edit")));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    connect(addItem(edit, QStringLiteral("mnuCaptureFrame"), QStringLiteral("Capture Frame")), &QAction::triggered, this,
            [this] { SaveImage(false); });
    edit->addSeparator();
    connect(addItem(edit, QStringLiteral("mnuOtherInformation"), QStringLiteral("Other Information")), &QAction::triggered, this,
            &Master::showOtherInfo);
    edit->addSeparator();
    connect(addItem(edit, QStringLiteral("mnuPutOnClipboard"), QStringLiteral("Put On Clipboard")), &QAction::triggered, this,
            [this] { SaveImage(true); });

    QMenu* view = menuBar()->addMenu(Translate(QStringLiteral("&View")));
    view->setObjectName(QStringLiteral("mnuView"));
    connect(addItem(view, QStringLiteral("mnuOverlay"), QStringLiteral("Overlay Mode")), &QAction::triggered, this,
            [this] { videoScreen_->Overlay(); });
    connect(addItem(view, QStringLiteral("mnuPreview"), QStringLiteral("Preview Mode")), &QAction::triggered, this,
            [this] { videoScreen_->Preview(previewRate_->currentIndex() + 1); });
    view->addSeparator();
    laterItem(view, QStringLiteral("mnuFullScreen"), QStringLiteral("Full Screen"));

    buildVideoSettingsMenu();

    QMenu* toolbars = menuBar()->addMenu(Translate(QStringLiteral("&Toolbars")));
    toolbars->setObjectName(QStringLiteral("mnuToolbars"));
    buildToolbarsMenu(toolbars);

    QMenu* scanner = menuBar()->addMenu(Translate(QStringLiteral("&Scanner")));
    scanner->setObjectName(QStringLiteral("TWAINx"));
    buildScannerMenu(scanner);

    QMenu* window = menuBar()->addMenu(Translate(QStringLiteral("&Window")));
    window->setObjectName(QStringLiteral("mnuWindow"));
    connect(addItem(window, QStringLiteral("mnuTileHorizontally"), QStringLiteral("Tile &Horizontally")), &QAction::triggered,
            this, [this] { ArrangeSubWindows(*mdiArea_, Qt::Horizontal); });
    connect(addItem(window, QStringLiteral("mnuTileVertically"), QStringLiteral("Tile &Vertically")), &QAction::triggered,
            this, [this] { ArrangeSubWindows(*mdiArea_, Qt::Vertical); });
    connect(addItem(window, QStringLiteral("mnuCascade"), QStringLiteral("&Cascade")), &QAction::triggered, mdiArea_,
            &QMdiArea::cascadeSubWindows);
    connect(addItem(window, QStringLiteral("mnuArrangeIcons"), QStringLiteral("&Arrange Icons")), &QAction::triggered, this,
            [this] { ArrangeIcons(*mdiArea_); });

    QMenu* help = menuBar()->addMenu(Translate(QStringLiteral("&Help")));
    help->setObjectName(QStringLiteral("mnuHelp"));
    QAction* helpFile = addItem(help, QStringLiteral("mnuHelpFile"), QStringLiteral("&Help"));
    helpFile->setShortcut(QKeySequence(Qt::Key_F1));
    helpFile->setShortcutContext(Qt::ApplicationShortcut);
    connect(helpFile, &QAction::triggered, this, &Master::showHelp);
    help->addSeparator();
    connect(addItem(help, QStringLiteral("mnuSplash"), QStringLiteral("&Splash Window")), &QAction::triggered, this, [this] {
        auto* splash = new SplashWindow(Vars.VersionText, 3000, this);
        splash->setAttribute(Qt::WA_DeleteOnClose);
        splash->show();
    });
    help->addSeparator();
    connect(addItem(help, QStringLiteral("mnuUpgrades"), QStringLiteral("Check for Upgrades...")), &QAction::triggered, this,
            [] {
                QProcess::startDetached(Vars.AppFolder + QStringLiteral("kestrova-update"),
                                        {QStringLiteral("qorb&") + QCoreApplication::applicationFilePath()});
            });
    connect(addItem(help, QStringLiteral("mnuOnWeb"), QStringLiteral("Video Kestrova on Web...")), &QAction::triggered, this,
            [this] { openInBrowser(Vars.HomePageAddress); });
    help->addSeparator();
    connect(addItem(help, QStringLiteral("mnuAbout"), QStringLiteral("&About Video Kestrova...")), &QAction::triggered, this,
            &Master::showAbout);
}

void Master::openCaptureFile() {
    const QString name = CurrentPrompts().openFile(
        Translate(QStringLiteral("Open...")),
        QtFileFilter(QStringLiteral("All files |*.vcp;*.bmp;*.jpg;*.avi|Kestrova Parameters (*.vcp)|*.vcp|Movie File "
                                    "(*.avi)|*.avi|Bitmap File (*.bmp)|*.bmp|JPEG Image File (*.jpg)|*.jpg|")),
        QString());
    if (name.isEmpty()) return;
    const QString ending = name.right(3).toLower();
    if (ending == QLatin1String("avi")) {
        openMovieViewer(name);
        return;
    }
    if (ending != QLatin1String("bmp") && ending != QLatin1String("jpg")) return;  // parameters files come later
    const QImage picture = ReadPicture(name);
    if (picture.isNull()) {
        CurrentPrompts().message(Translate(QStringLiteral("Bad file format.")), PromptIcon::Critical, PromptButtons::Ok,
                                 SettingsAppTitle());
        return;
    }
    if (imageEditor_ == nullptr) {
        imageEditor_ = new Image(this);
        imageEditor_->setWindowFlag(Qt::Window);
    }
    imageEditor_->setPicture(picture);
    imageEditor_->setWindowTitle(name);
    if (!imageEditor_->isVisible()) placeEditor(*imageEditor_);
    imageEditor_->show();
}

}  // namespace kestrova
