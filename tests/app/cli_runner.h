#pragma once
// Runs the real kestrova-cli as a user would, with no display at all.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kestrova::test {

struct CliOutcome {
    int status = -1;
    QString out;
    QString err;
    QByteArray outBytes;  // standard output as it came, for binary output
    qint64 milliseconds = 0;  // how long it ran
};

CliOutcome RunCli(const QStringList& arguments, int timeoutMilliseconds = 20000);

}  // namespace kestrova::test
