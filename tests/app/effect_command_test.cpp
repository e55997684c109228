#include "app/cli/cli.h"
#include "imaging/dib.h"

#include "cli_runner.h"
#include "kestrova_test.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <thread>

using namespace kestrova;
using kestrova::test::KestrovaTest;

class EffectCommand : public KestrovaTest {
protected:
    static void writeBitmap(const QString& path) {
        std::vector<unsigned char> bytes(size_t(16) * 3, 0x40);
        cDib picture;
        ASSERT_TRUE(picture.CreateFromView(PictureView{bytes.data(), 5, 3, 16, true}));
        ASSERT_TRUE(picture.WriteToFile(path));
    }
};

TEST_F(EffectCommand, AppliesTheEditorsEffectToABitmap) {
    std::vector<unsigned char> bytes(size_t(16) * 3);  // 5 x 3 pixels, rows of 15 bytes padded to 16
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<unsigned char>(i * 5);
    cDib in;
    ASSERT_TRUE(in.CreateFromView(PictureView{bytes.data(), 5, 3, 16, true}));
    ASSERT_TRUE(in.WriteToFile(tempPath("in.bmp")));

    const test::CliOutcome done = test::RunCli({"effect", "negative", tempPath("in.bmp"), tempPath("out.bmp")});
    ASSERT_EQ(done.status, cli::ExitOk) << done.err.toStdString();
    cDib out;
    ASSERT_TRUE(out.CreateFromFile(tempPath("out.bmp")));
    ASSERT_EQ(out.Width(), 5);
    EXPECT_EQ(out.view().row(2)[0], 255 - in.view().row(2)[0]);
    EXPECT_EQ(out.view().row(0)[14], 255 - in.view().row(0)[14]);
    EXPECT_EQ(out.SizeImage(), in.SizeImage());
}

TEST_F(EffectCommand, FailsWithOneClearLine) {
    QFile text(tempPath("text.bmp"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("This is a text file and not a picture.");
    text.close();
    ASSERT_TRUE(QDir().mkpath(tempPath("folder.bmp")));
    writeBitmap(tempPath("in.bmp"));
    struct Case {
        QStringList arguments;
        int status;
        const char* says;
    };
    const Case cases[] = {
        {{"effect", "soften", tempPath("text.bmp"), tempPath("out.bmp")}, cli::ExitFailed, "does not begin with \"BM\""},
        {{"effect", "soften", tempPath("missing.bmp"), tempPath("out.bmp")}, cli::ExitFailed, "No such file"},
        {{"effect", "soften", tempPath("in.bmp"), tempPath("folder.bmp")}, cli::ExitFailed, "it is a folder"},
        {{"effect", "soften", tempPath("in.bmp"), tempPath("nowhere/out.bmp")}, cli::ExitFailed, "cannot write"},
        {{"effect", "blur", tempPath("text.bmp"), tempPath("out.bmp")}, cli::ExitUsage, "unknown effect"},
        {{"effect", "soften"}, cli::ExitUsage, "usage"},
    };
    for (const Case& c : cases) {
        const test::CliOutcome outcome = test::RunCli(c.arguments);
        EXPECT_EQ(outcome.status, c.status) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(outcome.err.count('\n'), 1) << outcome.err.toStdString();
        EXPECT_TRUE(outcome.err.contains(QLatin1String(c.says))) << outcome.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(tempPath("out.bmp")));
    EXPECT_TRUE(QFileInfo(tempPath("folder.bmp")).isDir());
}

// A pipe or a terminal is written straight through, never replaced by a file of the same name.
TEST_F(EffectCommand, APipeOrStandardOutputIsWrittenThroughNotReplaced) {
    writeBitmap(tempPath("in.bmp"));
    const QByteArray fifo = QFile::encodeName(tempPath("picture.fifo"));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    QByteArray piped;
    std::thread reader([&] {
        QFile end(QString::fromLocal8Bit(fifo));
        if (end.open(QIODevice::ReadOnly)) piped = end.readAll();
    });
    const test::CliOutcome intoPipe = test::RunCli({"effect", "negative", tempPath("in.bmp"), QString::fromLocal8Bit(fifo)});
    reader.join();
    EXPECT_EQ(intoPipe.status, cli::ExitOk) << intoPipe.err.toStdString();
    struct stat after {};
    ASSERT_EQ(::stat(fifo.constData(), &after), 0);
    EXPECT_TRUE(S_ISFIFO(after.st_mode)) << "still a pipe";
    cDib read;
    EXPECT_TRUE(read.CreateFromBytes(reinterpret_cast<const unsigned char*>(piped.constData()), size_t(piped.size())))
        << read.LoadError().toStdString();

    const test::CliOutcome toOutput = test::RunCli({"effect", "negative", tempPath("in.bmp"), "/dev/stdout"});
    EXPECT_EQ(toOutput.status, cli::ExitOk) << toOutput.err.toStdString();
    EXPECT_EQ(toOutput.outBytes, piped);
}
