// The scanner menu (TWAINx: "Select Source", a separator, "Acquire") and the main toolbar's
// "choose_scanner" and "scanner" buttons. A scan opens a new image editor window; one that fails or
// is cancelled opens none and says why in the status bar. Once SANE has found no scanner, the
// four controls are disabled and say so.

#include "master.h"

#include "core/translate.h"
#include "imaging/image_window.h"
#include "persistence/scanner_windows.h"
#include "ui/keyed.h"

#include <QAction>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>

namespace kestrova {

namespace {

// Long enough to be read; the status bar's panels come back after it.
constexpr int StatusMessageMilliseconds = 10000;

}  // namespace

void Master::buildScannerMenu(QMenu* menu) {
    TWAINx = menu;
    QAction* select = menu->addAction(Translate(QStringLiteral("Select Source")));
    select->setObjectName(QStringLiteral("mnuScannerSelect"));
    menu->addSeparator();
    QAction* acquire = menu->addAction(Translate(QStringLiteral("Acquire")));
    acquire->setObjectName(QStringLiteral("mnuScannerAcquire"));
    connect(select, &QAction::triggered, this, &Master::selectScannerSource);
    connect(acquire, &QAction::triggered, this, &Master::acquireScan);
    connect(FindKeyed<QAction>(mainToolbar_, QStringLiteral("choose_scanner")), &QAction::triggered, this,
            &Master::selectScannerSource);
    connect(FindKeyed<QAction>(mainToolbar_, QStringLiteral("scanner")), &QAction::triggered, this, &Master::acquireScan);
}

QList<QAction*> Master::scannerControls() const {
    return {TWAINx->actions().value(0), TWAINx->actions().value(2), FindKeyed<QAction>(mainToolbar_, QStringLiteral("choose_scanner")),
            FindKeyed<QAction>(mainToolbar_, QStringLiteral("scanner"))};
}

ScannerSource* Master::scannerSourceWindow() const { return scannerSource_; }

ScanProgress* Master::scanProgressWindow() const { return scanProgress_; }

void Master::noScannerFound() {
    const QString text = Translate(QStringLiteral("No scanner was found"));
    for (QAction* control : scannerControls()) {
        control->setEnabled(false);
        control->setToolTip(text);
    }
    TWAINx->setToolTipsVisible(true);
    statusBar()->showMessage(text, StatusMessageMilliseconds);
}

void Master::selectScannerSource() {
    if (scannerSource_) {
        scannerSource_->raise();
        scannerSource_->activateWindow();
        return;
    }
    scannerSource_ = new ScannerSource(scannerDevice_, this);
    connect(scannerSource_, &ScannerSource::chosen, this, [this](const QString& device) { scannerDevice_ = device; });
    connect(scannerSource_, &ScannerSource::listed, this, [this](int count) {
        if (count == 0) noScannerFound();
    });
    scannerSource_->show();
}

void Master::acquireScan() {
    // One scan at a time: a scanner does one picture.
    if (scanProgress_) {
        scanProgress_->raise();
        return;
    }
    scanProgress_ = new ScanProgress(scannerDevice_, this);
    connect(scanProgress_, &ScanProgress::finished, this, &Master::scanFinished);
    scanProgress_->show();
}

void Master::scanFinished(const ScanOutcome& outcome) {
    if (outcome.failure == ScanFailure::NoScanner) {
        noScannerFound();
        return;
    }
    if (outcome.picture.isNull()) {
        statusBar()->showMessage(ScanFailureText(outcome), StatusMessageMilliseconds);
        return;
    }
    auto* editor = new Image(this);
    editor->setWindowFlag(Qt::Window);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    editor->setPicture(outcome.picture);
    editor->setResetPicture(outcome.picture);
    editor->setWindowTitle(Translate(QStringLiteral("Untitled")));
    placeEditor(*editor);
    editor->show();
    statusBar()->clearMessage();
}

}  // namespace kestrova
