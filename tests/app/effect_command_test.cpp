#include "app/cli/cli.h"
#include "imaging/dib.h"

#include "cli_runner.h"
#include "kestrova_test.h"

#include <QFile>

using namespace kestrova;
using kestrova::test::KestrovaTest;

using EffectCommand = KestrovaTest;

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
    text.write("not a picture");
    text.close();
    struct Case {
        QStringList arguments;
        int status;
    };
    const Case cases[] = {
        {{"effect", "soften", tempPath("text.bmp"), tempPath("out.bmp")}, cli::ExitFailed},
        {{"effect", "soften", tempPath("missing.bmp"), tempPath("out.bmp")}, cli::ExitFailed},
        {{"effect", "blur", tempPath("text.bmp"), tempPath("out.bmp")}, cli::ExitUsage},
        {{"effect", "soften"}, cli::ExitUsage},
    };
    for (const Case& c : cases) {
        const test::CliOutcome outcome = test::RunCli(c.arguments);
        EXPECT_EQ(outcome.status, c.status) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(outcome.err.count('\n'), 1) << outcome.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(tempPath("out.bmp")));
}
