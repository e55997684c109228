#include "app/cli/cli.h"

#include "cli_runner.h"
#include "kestrova_test.h"

#include <QMap>


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
