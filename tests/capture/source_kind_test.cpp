// The source kinds: their tags, the command line's source names, and each kind's back-end answering
// the video window's operations, including every "Capture Mode not supported".

#include "capture/source_backend.h"
#include "capture/source_kind.h"
#include "capture/video_screen.h"

#include "kestrova_test.h"

using namespace kestrova;
using namespace kestrova::media;

TEST(SourceKinds, TagsAndCommandsComeFromTheirKinds) {
    for (const SourceKind kind : {SourceKind::None, SourceKind::Failed, SourceKind::Vfw, SourceKind::Wdm, SourceKind::Wms, SourceKind::Http}) {
        EXPECT_EQ(KindOfTag(TagText(kind)), kind) << TagText(kind).toStdString();
        EXPECT_EQ(CommandOfTag(TagText(kind)), DeviceCommand::Connect);
    }
    EXPECT_EQ(TagText(SourceKind::Failed), "0");
    EXPECT_EQ(KindOfTag("WDM"), SourceKind::Wdm);
    EXPECT_EQ(KindOfTag("menu"), std::nullopt);
    for (const DeviceCommand command : {DeviceCommand::Unplug, DeviceCommand::Info, DeviceCommand::Heading}) {
        EXPECT_EQ(CommandOfTag(CommandTag(command)), command);
        EXPECT_EQ(KindOfTag(CommandTag(command)), std::nullopt);
    }
}

TEST(SourceNames, CommandLineNamesMapToSources) {
    const std::vector<VideoDevice> devices = {TestPatternDevice()};
    struct Case {
        const char* name;
        const char* kind;  // nullptr: refused
        const char* address;
    };
    const Case cases[] = {
        {"testpattern", "testpattern", ""},
        {"wdm:0", "testpattern", ""},
        {"vfw:0", "testpattern", ""},
        {"wdm:1", nullptr, ""},
        {"wdm:x", nullptr, ""},
        {"wms:http://127.0.0.1:8080/live.ts", "wms", "http://127.0.0.1:8080/live.ts"},
        {"wms:/tmp/movie.avi", "wms", "/tmp/movie.avi"},
        {"http:http://127.0.0.1/snap.jpg", "http", "http://127.0.0.1/snap.jpg"},
        {"http:", nullptr, ""},
        {"camera", nullptr, ""},
    };
    for (const Case& each : cases) {
        QString error;
        const auto named = SourceFromName(QString::fromLatin1(each.name), devices, error);
        ASSERT_EQ(named.has_value(), each.kind != nullptr) << each.name;
        if (named) {
            EXPECT_EQ(named->settings.kind, QString::fromLatin1(each.kind)) << each.name;
            EXPECT_EQ(named->settings.address, QString::fromLatin1(each.address)) << each.name;
        } else {
            EXPECT_FALSE(error.isEmpty()) << each.name;
        }
    }
    QString error;
    bool missing = false;
    EXPECT_EQ(SourceFromName("vfw:0", devices, error)->kind, SourceKind::Vfw);
    EXPECT_EQ(SourceFromName("testpattern", devices, error)->kind, SourceKind::Wdm);
    EXPECT_FALSE(SourceFromName("wdm:7", devices, error, &missing));
    EXPECT_TRUE(missing) << "a device index that names no device";
    EXPECT_FALSE(SourceFromName("wdm:x", devices, error, &missing));
    EXPECT_FALSE(missing);
}

using SourceBackends = test::KestrovaTest;

// Each kind's answers to the operations a kind may lack, on a back-end with nothing opened; a new
// kind adds its row.
TEST_F(SourceBackends, EachKindAnswersTheOperationsItLacks) {
    struct Row {
        SourceKind kind;
        bool recordRefused, stopRefused, framesRefused;  // "Capture Mode not supported"
        bool throughControl, stopsOnRequest, previewFollowsMovieRate, progressThroughCallback;
        const char* fileName;  // GetFilename with nothing opened
    };
    const Row rows[] = {
        {SourceKind::None, false, false, false, false, false, false, false, "Error"},
        {SourceKind::Failed, false, false, false, false, false, false, false, "Error"},
        {SourceKind::Vfw, false, false, false, false, true, false, true, ""},
        {SourceKind::Wdm, false, false, false, true, true, true, false, ""},
        {SourceKind::Wms, true, true, true, true, true, false, false, "Error"},
        {SourceKind::Http, true, false, false, true, true, false, false, "Error"},
    };
    VideoScreen screen;
    const QString refused = QStringLiteral("Capture Mode not supported");
    for (const Row& row : rows) {
        SCOPED_TRACE(TagText(row.kind).toStdString());
        const std::unique_ptr<SourceBackend> backend = MakeBackend(row.kind, screen);
        EXPECT_EQ(backend->kind(), row.kind);
        const auto refusedBy = [&](const std::function<void()>& operation) {
            prompts->shown.clear();
            operation();
            return prompts->messages() == QStringList{refused};
        };
        EXPECT_EQ(refusedBy([&] { backend->Record(MovieSettings{}); }), row.recordRefused);
        EXPECT_EQ(refusedBy([&] { backend->StopCapture(); }), row.stopRefused);
        EXPECT_EQ(refusedBy([&] { backend->OpenMultipleImage(); }), row.framesRefused);
        bool captured = true;
        EXPECT_EQ(refusedBy([&] { captured = backend->CaptureSingle(); }), row.framesRefused);
        EXPECT_EQ(captured, !row.framesRefused) << "a refused frame is not reported as captured";
        EXPECT_EQ(refusedBy([&] { backend->CloseMultipleCapture(); }), row.framesRefused);
        EXPECT_EQ(backend->throughControl(), row.throughControl);
        EXPECT_EQ(backend->stopsOnRequest(), row.stopsOnRequest);
        EXPECT_EQ(backend->previewFollowsMovieRate(), row.previewFollowsMovieRate);
        EXPECT_EQ(backend->progressThroughCallback(), row.progressThroughCallback);
        EXPECT_EQ(backend->GetFilename(), QString::fromLatin1(row.fileName));
        EXPECT_FALSE(backend->capturing());
    }
}
