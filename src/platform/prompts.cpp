#include "prompts.h"

#include "core/global_state.h"
#include "core/settings.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace kestrova {

namespace {

std::unique_ptr<Prompts>& current() {
    static std::unique_ptr<Prompts> prompts = std::make_unique<QtPrompts>();
    return prompts;
}

QWidget* parentWindow() { return QApplication::activeWindow(); }

QMessageBox::Icon boxIcon(PromptIcon icon) {
    switch (icon) {
    case PromptIcon::Information: return QMessageBox::Information;
    case PromptIcon::Question: return QMessageBox::Question;
    case PromptIcon::Exclamation: return QMessageBox::Warning;
    case PromptIcon::Critical: return QMessageBox::Critical;
    case PromptIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons boxButtons(PromptButtons buttons) {
    switch (buttons) {
    case PromptButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case PromptButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case PromptButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case PromptButtons::RetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
    case PromptButtons::Ok: break;
    }
    return QMessageBox::Ok;
}

PromptAnswer answerOf(int button) {
    switch (button) {
    case QMessageBox::Cancel: return PromptAnswer::Cancel;
    case QMessageBox::Yes: return PromptAnswer::Yes;
    case QMessageBox::No: return PromptAnswer::No;
    case QMessageBox::Retry: return PromptAnswer::Retry;
    default: return PromptAnswer::Ok;
    }
}

}  // namespace

// While the program ends no window opens any more (a close request also ends a box that is open),
// and every question answers as cancelled.

PromptAnswer QtPrompts::message(const QString& text, PromptIcon icon, PromptButtons buttons,
                                const QString& title) {
    if (Vars.ShuttingDown) return PromptAnswer::Cancel;
    QMessageBox box(boxIcon(icon), title, text, boxButtons(buttons), parentWindow());
    const int button = box.exec();
    return Vars.ShuttingDown ? PromptAnswer::Cancel : answerOf(button);
}

std::optional<QString> QtPrompts::input(const QString& prompt, const QString& title, const QString& defaultText) {
    if (Vars.ShuttingDown) return std::nullopt;
    bool ok = false;
    const QString text = QInputDialog::getText(parentWindow(), title, prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok || Vars.ShuttingDown) return std::nullopt;
    return text;
}

QString QtPrompts::openFile(const QString& title, const QString& filter, const QString& startPath) {
    if (Vars.ShuttingDown) return {};
    return QFileDialog::getOpenFileName(parentWindow(), title, startPath, filter);
}

QStringList QtPrompts::openFiles(const QString& title, const QString& filter, const QString& startPath) {
    if (Vars.ShuttingDown) return {};
    return QFileDialog::getOpenFileNames(parentWindow(), title, startPath, filter);
}

QString QtPrompts::saveFile(const QString& title, const QString& filter, const QString& startPath, QString* chosenFilter) {
    if (Vars.ShuttingDown) return {};
    // The program asks its own overwrite questions where it needs them.
    return QFileDialog::getSaveFileName(parentWindow(), title, startPath, filter, chosenFilter,
                                        QFileDialog::DontConfirmOverwrite);
}

QString QtPrompts::chooseFolder(const QString& title, const QString& startFolder) {
    if (Vars.ShuttingDown) return {};
    return QFileDialog::getExistingDirectory(parentWindow(), title, startFolder);
}

std::optional<QColor> QtPrompts::chooseColor(const QColor& initial, const QString& title) {
    if (Vars.ShuttingDown) return std::nullopt;
    const QColor color = QColorDialog::getColor(initial, parentWindow(), title);
    if (!color.isValid() || Vars.ShuttingDown) return std::nullopt;
    return color;
}

Prompts& CurrentPrompts() { return *current(); }

std::unique_ptr<Prompts> InstallPrompts(std::unique_ptr<Prompts> prompts) {
    std::swap(current(), prompts);
    return prompts;
}

QString MessageTitle() { return SettingsAppTitle(); }

PromptAnswer MsgBox(const QString& text, PromptIcon icon, PromptButtons buttons) {
    return CurrentPrompts().message(text, icon, buttons, MessageTitle());
}

}  // namespace kestrova
