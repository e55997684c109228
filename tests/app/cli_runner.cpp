#include "cli_runner.h"

#include <QElapsedTimer>
#include <QProcess>

#include <gtest/gtest.h>

namespace kestrova::test {

CliOutcome RunCli(const QStringList& arguments, int timeoutMilliseconds) {
    QProcess cli;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) environment.remove(name);
    cli.setProcessEnvironment(environment);
    QElapsedTimer clock;
    clock.start();
    cli.start(KESTROVA_CLI_PATH, arguments);
    EXPECT_TRUE(cli.waitForFinished(timeoutMilliseconds)) << arguments.join(' ').toStdString();
    const QByteArray out = cli.readAllStandardOutput();
    return {cli.exitCode(), QString::fromUtf8(out), QString::fromUtf8(cli.readAllStandardError()), out, clock.elapsed()};
}

}  // namespace kestrova::test
