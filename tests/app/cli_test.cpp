#include "app/cli/cli.h"

#include "kestrova_test.h"

#include <QProcess>

using namespace kestrova;

namespace {
struct Outcome {
    int status;
    QString out;
    QString err;
};

// The real kestrova-cli with no display at all.
Outcome runCli(const QStringList& arguments) {
    QProcess cli;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) environment.remove(name);
    cli.setProcessEnvironment(environment);
    cli.start(KESTROVA_CLI_PATH, arguments);
    EXPECT_TRUE(cli.waitForFinished(10000));
    return {cli.exitCode(), QString::fromUtf8(cli.readAllStandardOutput()), QString::fromUtf8(cli.readAllStandardError())};
}
}  // namespace

TEST(CommandLine, VersionHelpAndBadUsage) {
    const Outcome version = runCli({"--version"});
    EXPECT_EQ(version.status, cli::ExitOk);
    EXPECT_EQ(version.out, QStringLiteral("Video Kestrova 2009 Version 9.04 Build 935\n"));

    const Outcome help = runCli({"--help"});
    EXPECT_EQ(help.status, cli::ExitOk);
    EXPECT_TRUE(help.out.startsWith("Usage: kestrova-cli COMMAND")) << help.out.toStdString();
    for (const cli::Command& command : cli::Commands()) {
        EXPECT_TRUE(help.out.contains(QString::fromLatin1(command.name))) << command.name;
    }

    const Outcome unknown = runCli({"frobnicate"});
    EXPECT_EQ(unknown.status, cli::ExitUsage);
    EXPECT_TRUE(unknown.out.isEmpty());
    EXPECT_EQ(unknown.err.count('\n'), 1);

    EXPECT_EQ(runCli({}).status, cli::ExitUsage);
}

TEST(CommandLine, DevicesListsVideoThenAudioWithTheBuiltInSourcesLast) {
    const Outcome listed = runCli({"devices"});
    ASSERT_EQ(listed.status, cli::ExitOk) << listed.err.toStdString();
    const QStringList lines = listed.out.split('\n', Qt::SkipEmptyParts);
    QStringList video;
    QStringList audio;
    for (const QString& line : lines) {
        const QStringList columns = line.split('\t');
        ASSERT_EQ(columns.size(), 3) << line.toStdString();
        QStringList& list = columns[0] == "wdm" ? video : audio;
        EXPECT_TRUE(columns[0] == "wdm" || columns[0] == "audio") << line.toStdString();
        EXPECT_EQ(columns[1].toInt(), list.size()) << "indexes count from 0 within a kind";
        list << columns[2];
    }
    ASSERT_FALSE(video.isEmpty());
    EXPECT_EQ(video.back(), QStringLiteral("Test Pattern"));
    ASSERT_FALSE(audio.isEmpty());
    EXPECT_EQ(audio.back(), QStringLiteral("Test Tone"));
    EXPECT_EQ(lines.first().section('\t', 0, 0), QStringLiteral("wdm"));

    EXPECT_EQ(runCli({"devices", "--bogus"}).status, cli::ExitUsage);
}
