#include "app/cli/cli.h"

#include "cli_runner.h"
#include "kestrova_test.h"

#include <QMap>
#include <QProcess>


using namespace kestrova;


TEST(CommandLine, VersionHelpAndBadUsage) {
    const test::CliOutcome version = test::RunCli({"--version"});
    EXPECT_EQ(version.status, cli::ExitOk);
    EXPECT_EQ(version.out, QStringLiteral("Video Kestrova 2009 Version 9.04 Build 935\n"));

    const test::CliOutcome help = test::RunCli({"--help"});
    EXPECT_EQ(help.status, cli::ExitOk);
    EXPECT_TRUE(help.out.startsWith("Usage: kestrova-cli COMMAND")) << help.out.toStdString();
    for (const cli::Command& command : cli::Commands()) {
        EXPECT_TRUE(help.out.contains(QString::fromLatin1(command.name))) << command.name;
    }

    for (const cli::Command& command : cli::Commands()) {
        const QString name = QString::fromLatin1(command.name);
        const test::CliOutcome own = test::RunCli({name, "--help"});
        EXPECT_EQ(own.status, cli::ExitOk) << command.name;
        EXPECT_TRUE(own.out.startsWith("Usage: kestrova-cli " + name)) << own.out.toStdString();
        EXPECT_TRUE(own.out.contains("\nExample:\n  kestrova-cli " + name)) << own.out.toStdString();
    }
    EXPECT_EQ(test::RunCli({"record", "--source", "testpattern", "-h"}).out, cli::CommandHelp(cli::Commands()[3]))
        << "help wins over the other options";

    const test::CliOutcome unknown = test::RunCli({"frobnicate"});
    EXPECT_EQ(unknown.status, cli::ExitUsage);
    EXPECT_TRUE(unknown.out.isEmpty());
    EXPECT_EQ(unknown.err.count('\n'), 1);

    EXPECT_EQ(test::RunCli({}).status, cli::ExitUsage);
}

TEST(CommandLine, DevicesListsDriversVideoThenAudioWithTheBuiltInSourcesLast) {
    const test::CliOutcome listed = test::RunCli({"devices"});
    ASSERT_EQ(listed.status, cli::ExitOk) << listed.err.toStdString();
    const QStringList lines = listed.out.split('\n', Qt::SkipEmptyParts);
    QMap<QString, QStringList> kinds;
    QStringList order;
    for (const QString& line : lines) {
        const QStringList columns = line.split('\t');
        ASSERT_EQ(columns.size(), 3) << line.toStdString();
        EXPECT_TRUE(columns[0] == "vfw" || columns[0] == "wdm" || columns[0] == "audio") << line.toStdString();
        QStringList& list = kinds[columns[0]];
        EXPECT_EQ(columns[1].toInt(), list.size()) << "indexes count from 0 within a kind";
        list << columns[2];
        if (!order.contains(columns[0])) order << columns[0];
    }
    EXPECT_EQ(order, (QStringList{"vfw", "wdm", "audio"}));
    EXPECT_EQ(kinds["vfw"], kinds["wdm"]) << "the drivers are the video devices";
    ASSERT_FALSE(kinds["wdm"].isEmpty());
    EXPECT_EQ(kinds["wdm"].back(), QStringLiteral("Test Pattern"));
    ASSERT_FALSE(kinds["audio"].isEmpty());
    EXPECT_EQ(kinds["audio"].back(), QStringLiteral("Test Tone"));

    EXPECT_EQ(test::RunCli({"devices", "--bogus"}).status, cli::ExitUsage);
}

// The installed bash completion asks the program itself for its commands, options and sources.
TEST(CommandLine, BashCompletesCommandsOptionsAndSources) {
    const auto complete = [](const QStringList& words) {
        QProcess bash;
        const QString line = words.join(u' ');
        bash.start(QStringLiteral("bash"),
                   {"-c", QStringLiteral("source '%1'; COMP_WORDS=(%2); COMP_CWORD=%3; _kestrova_cli; printf '%s\\n' \"${COMPREPLY[@]}\"")
                              .arg(QStringLiteral(KESTROVA_SOURCE_DIR "/desktop/kestrova-cli.bash"), line)
                              .arg(words.size() - 1)});
        bash.waitForFinished(30000);
        return QString::fromLocal8Bit(bash.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    };
    const QString program = QStringLiteral(KESTROVA_CLI_PATH);
    const QStringList commands = complete({program, "''"});
    for (const cli::Command& command : cli::Commands()) EXPECT_TRUE(commands.contains(QString::fromLatin1(command.name))) << command.name;
    EXPECT_EQ(complete({program, "re"}), QStringList{"record"});
    const QStringList options = complete({program, "record", "--"});
    for (const char* option : {"--source", "--out", "--fps", "--seconds", "--audio", "--codec", "--help"}) {
        EXPECT_TRUE(options.contains(QString::fromLatin1(option))) << option;
    }
    EXPECT_TRUE(complete({program, "still", "--source", "t"}).contains("testpattern"));
}
