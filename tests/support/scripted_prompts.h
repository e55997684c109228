#pragma once
// Prompts for tests: every dialog shown is recorded, and its answer comes from a queue.

#include "platform/prompts.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

namespace kestrova::test {

struct ShownPrompt {
    QString kind;  // "message", "input", "openFile", "saveFile", "chooseFolder", "chooseColor"
    QString text;  // the message or prompt, or a dialog's filter
    QString title;
    PromptIcon icon = PromptIcon::None;
    PromptButtons buttons = PromptButtons::Ok;
};

class ScriptedPrompts final : public Prompts {
public:
    // Answers are taken in order; with none queued a message answers Ok, the others cancel.
    std::deque<PromptAnswer> messageAnswers;
    std::deque<std::optional<QString>> inputAnswers;
    std::deque<QString> fileAnswers;  // open, save and folder dialogs alike
    std::deque<QString> filterAnswers;  // the filter chosen in a save dialog; the first one when none is queued
    std::deque<std::optional<QColor>> colorAnswers;

    std::vector<ShownPrompt> shown;
    // Runs while a message box is "open", before its answer is taken: a test can act there as a
    // user would with the box on the screen.
    std::function<void(const ShownPrompt&)> whileShown;
    QStringList messages() const;  // the texts of the message boxes shown

    PromptAnswer message(const QString& text, PromptIcon icon, PromptButtons buttons, const QString& title) override;
    std::optional<QString> input(const QString& prompt, const QString& title, const QString& defaultText) override;
    QString openFile(const QString& title, const QString& filter, const QString& startPath) override;
    QString saveFile(const QString& title, const QString& filter, const QString& startPath,
                     QString* chosenFilter = nullptr) override;
    QString chooseFolder(const QString& title, const QString& startFolder) override;
    std::optional<QColor> chooseColor(const QColor& initial, const QString& title) override;

private:
    QString nextFile(const QString& kind, const QString& title, const QString& filter);
};

}  // namespace kestrova::test
