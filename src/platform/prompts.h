#pragma once
// Every message box, input box, file dialog, folder chooser and colour dialog of the program goes
// through the current Prompts. The program installs QtPrompts; tests install a scripted one.

#include <QColor>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QWidget;

namespace kestrova {

enum class PromptIcon { None, Information, Question, Exclamation, Critical };
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No, Retry };

class Prompts {
public:
    virtual ~Prompts() = default;

    virtual PromptAnswer message(const QString& text, PromptIcon icon, PromptButtons buttons,
                                 const QString& title) = 0;
    // The typed text, or nothing when the user cancels.
    virtual std::optional<QString> input(const QString& prompt, const QString& title,
                                         const QString& defaultText) = 0;
    // filter in Qt's form: "Movies (*.avi);;All files (*)". Empty when the user cancels.
    virtual QString openFile(const QString& title, const QString& filter, const QString& startPath) = 0;
    // Several files at once, in the order chosen; empty when the user cancels. One file by default.
    virtual QStringList openFiles(const QString& title, const QString& filter, const QString& startPath) {
        const QString one = openFile(title, filter, startPath);
        return one.isEmpty() ? QStringList() : QStringList{one};
    }
    // `chosenFilter`, when given, gets the filter the user chose ("JPEG Image File (*.jpg)").
    virtual QString saveFile(const QString& title, const QString& filter, const QString& startPath,
                             QString* chosenFilter = nullptr) = 0;
    virtual QString chooseFolder(const QString& title, const QString& startFolder) = 0;
    virtual std::optional<QColor> chooseColor(const QColor& initial, const QString& title) = 0;
};

// The dialogs of Qt Widgets, parented to the active window.
class QtPrompts final : public Prompts {
public:
    PromptAnswer message(const QString& text, PromptIcon icon, PromptButtons buttons,
                         const QString& title) override;
    std::optional<QString> input(const QString& prompt, const QString& title, const QString& defaultText) override;
    QString openFile(const QString& title, const QString& filter, const QString& startPath) override;
    QStringList openFiles(const QString& title, const QString& filter, const QString& startPath) override;
    QString saveFile(const QString& title, const QString& filter, const QString& startPath,
                     QString* chosenFilter = nullptr) override;
    QString chooseFolder(const QString& title, const QString& startFolder) override;
    std::optional<QColor> chooseColor(const QColor& initial, const QString& title) override;
};

// The prompts in use; QtPrompts until another is installed.
Prompts& CurrentPrompts();
// Installs prompts and returns the previous ones (tests restore them).
std::unique_ptr<Prompts> InstallPrompts(std::unique_ptr<Prompts> prompts);

// The application title shown on message boxes.
QString MessageTitle();

// A message box with the application title.
PromptAnswer MsgBox(const QString& text, PromptIcon icon = PromptIcon::None,
                    PromptButtons buttons = PromptButtons::Ok);

}  // namespace kestrova
