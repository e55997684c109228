#include "insertion_window.h"

#include "core/folders.h"
#include "core/global_state.h"
#include "core/translate.h"
#include "imaging/insertion_editor.h"

#include <QFile>
#include <QStatusBar>
#include <QToolBar>

namespace kestrova {

Insertion::Insertion(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(Translate(QStringLiteral("Edit Image insertion data")));
    OperationBar = addToolBar(QStringLiteral("OperationBar"));
    OperationBar->setObjectName(QStringLiteral("OperationBar"));
    OperationBar->setMovable(false);
    OperationBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    struct Button {
        const char* key;
        const char* caption;
        void (Insertion::*run)();
    };
    const Button buttons[] = {{"apply", "Apply", &Insertion::apply_Click},
                              {"open", "Open", &Insertion::open_Click},
                              {"save", "Save as...", &Insertion::save_Click},
                              {"insert", "Insert Text", &Insertion::insert_Click}};
    for (const Button& button : buttons) {
        QAction* action = OperationBar->addAction(Translate(QString::fromLatin1(button.caption)));
        action->setObjectName(QString::fromLatin1(button.key));
        connect(action, &QAction::triggered, this, button.run);
    }
    ImageInsertionControl = new InsertionEditor(this);
    setCentralWidget(ImageInsertionControl);
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    connect(ImageInsertionControl, &InsertionEditor::pathChanged, this, &Insertion::pathEvent);

    // As wide as the toolbar's buttons, in proportion 4:3.
    int width = 0;
    for (QAction* action : OperationBar->actions()) {
        if (QWidget* widget = OperationBar->widgetForAction(action)) width += widget->sizeHint().width();
    }
    resize(width, width * 3 / 4);
}

QString Insertion::DefaultInsertionFile() {
    const QString folder = Vars.AppFolder.isEmpty() ? ResolveAppFolder() : Vars.AppFolder;
    return folder + QStringLiteral("default.iif");
}

void Insertion::openDefaultFile() {
    const QString path = DefaultInsertionFile();
    if (QFile::exists(path)) ImageInsertionControl->openFile(path);
}

void Insertion::apply_Click() {
    ImageInsertionControl->saveFile(Vars.InsertionFileName.isEmpty() ? DefaultInsertionFile() : Vars.InsertionFileName);
}

void Insertion::open_Click() { ImageInsertionControl->openFile(); }

void Insertion::save_Click() { ImageInsertionControl->saveFile(); }

void Insertion::insert_Click() { ImageInsertionControl->insertText(); }

void Insertion::pathEvent(const QString& path) {
    Vars.InsertionFileName = path;
    statusBar()->showMessage(path);
}

}  // namespace kestrova
