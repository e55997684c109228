#include "scripted_prompts.h"

namespace kestrova::test {

namespace {
template <typename T>
T take(std::deque<T>& queue, const T& fallback) {
    if (queue.empty()) return fallback;
    const T value = queue.front();
    queue.pop_front();
    return value;
}
}  // namespace

QStringList ScriptedPrompts::messages() const {
    QStringList texts;
    for (const ShownPrompt& p : shown) {
        if (p.kind == QStringLiteral("message")) texts << p.text;
    }
    return texts;
}

PromptAnswer ScriptedPrompts::message(const QString& text, PromptIcon icon, PromptButtons buttons,
                                      const QString& title) {
    shown.push_back({QStringLiteral("message"), text, title, icon, buttons});
    if (whileShown) whileShown(shown.back());
    return take(messageAnswers, PromptAnswer::Ok);
}

std::optional<QString> ScriptedPrompts::input(const QString& prompt, const QString& title, const QString&) {
    shown.push_back({QStringLiteral("input"), prompt, title});
    return take(inputAnswers, std::optional<QString>());
}

QString ScriptedPrompts::nextFile(const QString& kind, const QString& title, const QString& filter) {
    shown.push_back({kind, filter, title});
    return take(fileAnswers, QString());
}

QString ScriptedPrompts::openFile(const QString& title, const QString& filter, const QString&) {
    return nextFile(QStringLiteral("openFile"), title, filter);
}

QString ScriptedPrompts::saveFile(const QString& title, const QString& filter, const QString&, QString* chosenFilter) {
    if (chosenFilter) *chosenFilter = take(filterAnswers, filter.section(QStringLiteral(";;"), 0, 0));
    return nextFile(QStringLiteral("saveFile"), title, filter);
}

QString ScriptedPrompts::chooseFolder(const QString& title, const QString&) {
    return nextFile(QStringLiteral("chooseFolder"), title, QString());
}

std::optional<QColor> ScriptedPrompts::chooseColor(const QColor&, const QString& title) {
    shown.push_back({QStringLiteral("chooseColor"), QString(), title});
    return take(colorAnswers, std::optional<QColor>());
}

}  // namespace kestrova::test
