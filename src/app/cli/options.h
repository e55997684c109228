#pragma once
// The options of a command: "--name value" pairs and "--flag" switches, in any order.

#include <QMap>
#include <QSize>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

namespace kestrova::cli {

struct Options {
    QMap<QString, QStringList> values;  // every value given for an option, in order
    QSet<QString> flags;
    QStringList positional;

    QString value(const QString& name, const QString& fallback = QString()) const {
        const QStringList given = values.value(name);
        return given.isEmpty() ? fallback : given.back();
    }
    bool has(const QString& name) const { return values.contains(name) || flags.contains(name); }
};

// Parses arguments against the option names a command takes (without the "--"); nothing, with the
// reason in `error`, for an unknown option or one that lacks its value.
std::optional<Options> ParseOptions(const QStringList& arguments, const QStringList& valueOptions,
                                    const QStringList& flagOptions, QString& error);

// "640x480" as a size; nothing unless both numbers are positive.
std::optional<QSize> ParseSize(const QString& text);

// A whole number from min to max; nothing otherwise.
std::optional<int> ParseInt(const QString& text, int min, int max);

}  // namespace kestrova::cli
