// kestrova-cli scan over SANE's "test" backend, each run a process of its own.

#include "cli_runner.h"
#include "kestrova_test.h"
#include "sane_test_config.h"

#include "platform/picture_writer.h"

#include <QDir>

using namespace kestrova;
using kestrova::test::RunCli;
using kestrova::test::SaneTestConfig;

namespace {

class ScanCommand : public kestrova::test::KestrovaTest {
protected:
    QString folder(const char* name) const {
        const QString made = tempPath(QString::fromLatin1(name));
        QDir().mkpath(made);
        return made;
    }
};

}  // namespace

TEST_F(ScanCommand, ListsScannersAndWritesTheirPicture) {
    SaneTestConfig sane(folder("sane"), "test\n", "number_of_devices 2\nmode Color\n");
    const auto listed = RunCli({"scan", "--list"});
    EXPECT_EQ(listed.status, 0) << listed.err.toStdString();
    EXPECT_EQ(listed.out, "test:0\tNoname\tfrontend-tester\tvirtual device\ntest:1\tNoname\tfrontend-tester\tvirtual device\n");

    for (const char* name : {"scan.bmp", "scan.jpg"}) {
        const QString out = tempPath(QString::fromLatin1(name));
        const auto scanned = RunCli({"scan", "--out", out, "--device", "test:1", "--option", "test-picture=Color pattern"});
        EXPECT_EQ(scanned.status, 0) << scanned.err.toStdString();
        EXPECT_EQ(ReadPicture(out).size(), QSize(SaneTestConfig::Width, SaneTestConfig::Height)) << name;
    }

    const auto unknown = RunCli({"scan", "--out", tempPath("x.bmp"), "--option", "sharpness=9"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err, "kestrova-cli scan: The scanner does not take the setting: sharpness=9\n");
    EXPECT_EQ(RunCli({"scan", "--out", tempPath("x.bmp"), "--option", "resolution"}).status, 1);
    EXPECT_EQ(RunCli({"scan"}).status, 1);
    EXPECT_FALSE(QFile::exists(tempPath("x.bmp")));
}

TEST_F(ScanCommand, WithoutAScannerItSaysSo) {
    SaneTestConfig none(folder("none"), "");
    const auto listed = RunCli({"scan", "--list"});
    EXPECT_EQ(listed.status, 0);
    EXPECT_TRUE(listed.out.isEmpty());
    const auto scanned = RunCli({"scan", "--out", tempPath("scan.bmp")});
    EXPECT_EQ(scanned.status, 2);
    EXPECT_EQ(scanned.err, "kestrova-cli scan: No scanner was found\n");
}
