#include "options.h"

#include <QRegularExpression>

namespace kestrova::cli {

std::optional<Options> ParseOptions(const QStringList& arguments, const QStringList& valueOptions,
                                    const QStringList& flagOptions, QString& error) {
    Options options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!argument.startsWith(QStringLiteral("--"))) {
            options.positional << argument;
            continue;
        }
        const QString name = argument.mid(2);
        if (flagOptions.contains(name)) {
            options.flags.insert(name);
        } else if (valueOptions.contains(name)) {
            if (i + 1 >= arguments.size()) {
                error = QStringLiteral("%1 needs a value").arg(argument);
                return std::nullopt;
            }
            options.values[name] << arguments[++i];
        } else {
            error = QStringLiteral("unknown option %1").arg(argument);
            return std::nullopt;
        }
    }
    return options;
}

std::optional<QSize> ParseSize(const QString& text) {
    const auto match = QRegularExpression(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$")).match(text);
    if (!match.hasMatch()) return std::nullopt;
    const QSize size(match.captured(1).toInt(), match.captured(2).toInt());
    if (size.width() <= 0 || size.height() <= 0) return std::nullopt;
    return size;
}

std::optional<int> ParseInt(const QString& text, int min, int max) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < min || value > max) return std::nullopt;
    return value;
}

}  // namespace kestrova::cli
