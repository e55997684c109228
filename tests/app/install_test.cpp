// An install into a prefix of its own: the desktop files are where a desktop looks for them, and the
// installed command line finds its data under the prefix and keeps its own files in the per-user data
// folder, never beside the program.

#include "app/cli/cli.h"

#include "http_exchange.h"
#include "kestrova_test.h"
#include "wait_until.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <csignal>

using namespace kestrova;

namespace {

// Runs a program to its end; its exit code and everything it said.
std::pair<int, QString> RunToEnd(const QString& program, const QStringList& arguments,
                            const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(120000)) return {-1, QStringLiteral("did not end")};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, QString::fromLocal8Bit(process.readAll())};
}

using InstallTest = test::KestrovaTest;

}  // namespace

TEST_F(InstallTest, TheInstalledProgramsFindTheirDataAndKeepUserFilesOutOfTheirFolder) {
    const QString prefix = tempPath("prefix");
    const auto [installed, log] = RunToEnd(QStringLiteral("cmake"), {"--install", KESTROVA_BUILD_DIR, "--prefix", prefix});
    ASSERT_EQ(installed, 0) << log.toStdString();

    for (const char* file : {"bin/kestrova", "bin/kestrova-cli", "share/kestrova/webshare.html", "share/kestrova/camera.wav",
                             "share/applications/org.example.kestrova.desktop", "share/metainfo/org.example.kestrova.metainfo.xml",
                             "share/icons/hicolor/scalable/apps/kestrova.svg", "share/man/man1/kestrova.1",
                             "share/man/man1/kestrova-cli.1", "share/bash-completion/completions/kestrova-cli"}) {
        EXPECT_TRUE(QFileInfo::exists(prefix + "/" + file)) << file;
    }
    for (const int size : {16, 32, 48, 256}) {
        const QImage icon(QStringLiteral("%1/share/icons/hicolor/%2x%2/apps/kestrova.png").arg(prefix).arg(size));
        EXPECT_EQ(icon.size(), QSize(size, size));
    }
    EXPECT_FALSE(QFileInfo::exists(prefix + "/bin/portable")) << "an installed program is not a portable copy";

    const QString appstream = QStandardPaths::findExecutable(QStringLiteral("appstreamcli"));
    if (!appstream.isEmpty()) {
        const auto [valid, said] = RunToEnd(appstream, {"validate", "--no-net", prefix + "/share/metainfo/org.example.kestrova.metainfo.xml"});
        EXPECT_EQ(valid, 0) << said.toStdString();
    }
    const QString desktopCheck = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (!desktopCheck.isEmpty()) {
        const auto [valid, said] = RunToEnd(desktopCheck, {prefix + "/share/applications/org.example.kestrova.desktop"});
        EXPECT_EQ(valid, 0) << said.toStdString();
        EXPECT_TRUE(said.trimmed().isEmpty()) << said.toStdString();
    }

    // A user of the installed program: no KESTROVA_HOME, a home of their own.
    QProcessEnvironment user = QProcessEnvironment::systemEnvironment();
    user.remove(QStringLiteral("KESTROVA_HOME"));
    const QString dataHome = tempPath("data");
    user.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    user.insert(QStringLiteral("XDG_CONFIG_HOME"), tempPath("config"));
    const QString cli = prefix + "/bin/kestrova-cli";
    const auto [versionStatus, version] = RunToEnd(cli, {"--version"}, user);
    EXPECT_EQ(versionStatus, cli::ExitOk) << version.toStdString();
    EXPECT_TRUE(version.startsWith("Video Kestrova")) << version.toStdString();

    QProcess share;
    share.setProcessEnvironment(user);
    share.start(cli, {"webshare", "--source", "testpattern", "--port", "0", "--seconds", "60"});
    QString err;
    int port = 0;
    ASSERT_TRUE(test::WaitUntil(
        [&] {
            err += QString::fromLocal8Bit(share.readAllStandardError());
            const auto match = QRegularExpression(":(\\d+)/ ").match(err);
            if (match.hasMatch()) port = match.captured(1).toInt();
            return port > 0 || share.state() == QProcess::NotRunning;
        },
        10000));
    ASSERT_GT(port, 0) << err.toStdString();
    EXPECT_TRUE(test::HttpExchange(port, "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n").contains("SRC=\"http://127.0.0.1/live\""))
        << "the page comes from the prefix's data folder";
    EXPECT_FALSE(test::HttpBody(test::HttpExchange(port, "GET /live HTTP/1.1\r\n\r\n")).isEmpty());
    bool pictureInDataHome = false;
    for (QDirIterator each(dataHome, {"qorb-stream.jpg"}, QDir::Files, QDirIterator::Subdirectories); each.hasNext();) {
        each.next();
        pictureInDataHome = true;
    }
    ::kill(pid_t(share.processId()), SIGINT);
    ASSERT_TRUE(share.waitForFinished(10000));
    EXPECT_EQ(share.exitCode(), cli::ExitOk) << err.toStdString();
    EXPECT_TRUE(pictureInDataHome) << "the web share's picture lives in the per-user data folder";
    EXPECT_EQ(QDir(prefix + "/bin").entryList(QDir::Files | QDir::NoDotAndDotDot), (QStringList{"kestrova", "kestrova-cli"}))
        << "nothing is written beside the installed programs";
}
