#include "record_command.h"

#include "cli.h"
#include "avitools/avi_info.h"
#include "capture/source_kind.h"
#include "platform/capture_driver.h"
#include "platform/media/devices.h"
#include "platform/media/media_session.h"
#include "platform/media/recorder.h"
#include "platform/media/test_pattern.h"
#include "platform/quit_signals.h"

#include <QCoreApplication>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <unistd.h>

namespace kestrova::cli {

using namespace media;

namespace {

constexpr double MaxSeconds = 366.0 * 24 * 3600;
// How long past --seconds a movie may take to end by its frame count before the clock ends it.
constexpr int LengthGraceMs = 2000;

int fail(int status, const QString& text) { return SayFailure("record", status, text); }

QString codecKeys() {
    QStringList keys;
    for (const VideoCompressor& compressor : VideoCompressors()) keys << compressor.key;
    return keys.join(u' ');
}

struct Options {
    QString source;
    QString out;
    double fps = 0;
    double seconds = 0;
    QSize size;
    bool audio = false;
    int codec = 0;
    AviInfoTexts info;
    bool writeInfo = false;  // an information list goes into the finished movie
};

// Empty on success, else what is wrong with the command line.
QString parse(const QStringList& arguments, Options& options) {
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& name = arguments[i];
        if (name == QLatin1String("--audio")) {
            options.audio = true;
            continue;
        }
        if (i + 1 >= arguments.size()) return QStringLiteral("%1 needs a value").arg(name);
        const QString value = arguments[++i];
        bool number = true;
        if (name == QLatin1String("--source")) options.source = value;
        else if (name == QLatin1String("--out")) options.out = value;
        else if (name == QLatin1String("--fps")) {
            options.fps = value.toDouble(&number);
            if (!number || !std::isfinite(options.fps) || options.fps < 1 || options.fps > 120) {
                return QStringLiteral("bad frame rate \"%1\" (a number from 1 to 120)").arg(value);
            }
        } else if (name == QLatin1String("--seconds")) {
            options.seconds = value.toDouble(&number);
            if (!number || !std::isfinite(options.seconds) || options.seconds <= 0 || options.seconds > MaxSeconds) {
                return QStringLiteral("bad length \"%1\" (seconds, more than 0)").arg(value);
            }
        } else if (name == QLatin1String("--size")) {
            const QStringList parts = value.toLower().split(u'x');
            bool width = false, height = false;
            if (parts.size() == 2) options.size = QSize(parts[0].toInt(&width), parts[1].toInt(&height));
            if (!width || !height || options.size.isEmpty() || options.size.width() % 2 || options.size.height() % 2) {
                return QStringLiteral("bad size \"%1\" (even WIDTHxHEIGHT)").arg(value);
            }
        } else if (name == QLatin1String("--info")) {
            const QString wrong = ParseAviInfoAssignment(value, options.info);
            if (!wrong.isEmpty()) return wrong;
            options.writeInfo = true;
        } else if (name == QLatin1String("--codec")) {
            options.codec = VideoCompressorByKey(value.toLower());
            if (options.codec < 0) return QStringLiteral("unknown codec \"%1\" (one of: %2)").arg(value, codecKeys());
        } else {
            return QStringLiteral("unknown option \"%1\"").arg(name);
        }
    }
    if (options.source.isEmpty() || options.out.isEmpty()) return QStringLiteral("--source and --out are needed");
    return {};
}

// The information texts into the finished movie, when any were given.
int writeInfo(const Options& options) {
    if (!options.writeInfo) return ExitOk;
    const QString failed = WriteAviInfo(options.out, options.info);
    if (!failed.isEmpty()) return fail(ExitFailed, QStringLiteral("the movie is written, its information texts are not: %1").arg(failed));
    return ExitOk;
}

// A "vfw:N" source records through its capture-window driver: the movie is a capture sequence with
// the driver's records, and its end arrives through the status callback.
int RecordThroughDriver(const Options& options, int index) {
    CaptureDriver driver;
    if (!driver.connectDriver(index)) return fail(ExitFailed, QStringLiteral("the driver vfw:%1 does not connect").arg(index));
    if ((!options.size.isEmpty() || options.fps > 0) && !driver.selectFormat(options.size, options.fps)) {
        return fail(ExitFailed, QStringLiteral("the driver does not take that size or rate"));
    }
    const double sourceFps = driver.session()->runner().settings().fps;
    const double fps = options.fps > 0 ? options.fps : sourceFps > 0 ? sourceFps : TestPatternRate;
    driver.parms.dwRequestMicroSecPerFrame = FrameInterval(fps);
    driver.parms.fYield = 1;
    driver.parms.fCaptureAudio = options.audio;
    driver.parms.fLimitEnabled = options.seconds > 0;
    // The driver's limit is in whole seconds.
    driver.parms.wTimeLimit = uint32_t(std::max<long long>(1, std::llround(options.seconds)));
    driver.captureFile = options.out;
    driver.compressor = options.codec;
    QString ended;
    driver.statusCallback = [&](quintptr, int id, const QString& text) {
        if (id == IDS_CAP_END) {
            ended = text;
            QCoreApplication::exit(0);
        }
        return true;
    };
    InstallQuitSignalHandler([&] { driver.stopSequence(); });
    QTimer progress;
    const bool terminal = ::isatty(STDERR_FILENO);
    QObject::connect(&progress, &QTimer::timeout, [&] {
        const CAPSTATUS now = driver.status();
        std::fprintf(stderr, "%srecording %s: %u frames, %u dropped%s", terminal ? "\r" : "", options.out.toLocal8Bit().constData(),
                     now.dwCurrentVideoFrame, now.dwCurrentVideoFramesDropped, terminal ? "" : "\n");
    });
    progress.start(terminal ? 1000 : 10000);
    if (!driver.startSequence()) return fail(ExitFailed, ended.isEmpty() ? QStringLiteral("the capture does not start") : ended);
    if (options.seconds > 0) QTimer::singleShot(int(options.seconds * 1000) + LengthGraceMs, &driver, [&] { driver.stopSequence(); });
    QCoreApplication::exec();
    progress.stop();
    if (terminal) std::fputc('\n', stderr);
    const CAPSTATUS done = driver.status();
    std::printf("frames=%u dropped=%u seconds=%s file=%s\n", done.dwCurrentVideoFrame, done.dwCurrentVideoFramesDropped,
                QString::number(done.dwCurrentVideoFrame / fps, 'f', 2).toUtf8().constData(), options.out.toLocal8Bit().constData());
    std::fflush(stdout);
    if (ended != QLatin1String("Capture End")) return fail(ExitFailed, ended);
    return writeInfo(options);
}

}  // namespace

const char* RecordUsage() {
    static const QByteArray usage = QStringLiteral("--source S --out FILE.avi [--fps R] [--seconds N] [--size WxH] [--audio] [--codec NAME]\n"
                                                   "            [--info KEY=TEXT]...\n"
                                                   "            S: testpattern, wdm:N, vfw:N; NAME: %1 (default mjpeg)")
                                        .arg(codecKeys())
                                        .toUtf8();
    return usage.constData();
}

int RunRecordCommand(const QStringList& arguments) {
    Options options;
    const QString wrong = parse(arguments, options);
    if (!wrong.isEmpty()) return fail(ExitUsage, wrong);
    QString error;
    const std::optional<NamedSource> named = SourceFromName(options.source, VideoDevices(), error);
    if (!named) return fail(ExitUsage, error);
    if (named->kind == SourceKind::Vfw) return RecordThroughDriver(options, named->index);
    if (named->kind != SourceKind::Wdm) return fail(ExitFailed, QStringLiteral("Capture Mode not supported"));
    std::optional<SourceSettings> settings = named->settings;
    if (!options.size.isEmpty()) settings->size = options.size;
    if (options.fps > 0) settings->fps = options.fps;
    const double fps = settings->fps > 0 ? settings->fps : TestPatternRate;
    std::optional<AudioDevice> audio;
    if (options.audio) audio = AudioDevices().front();  // Test Tone where no real input exists
    MediaSession session(*settings);
    std::unique_ptr<Recorder> recorder;
    QString reason;
    int status = ExitOk;
    auto finish = [&](const QString& why) {
        if (!why.isEmpty()) {
            reason = why;
            status = ExitFailed;
        }
        QCoreApplication::exit(0);
    };
    QObject::connect(&session, &MediaSession::opened, [&](QSize size) {
        if (recorder) return;  // a reopen after a loss: the movie has already ended
        RecorderSettings movie;
        movie.path = options.out;
        movie.compressor = options.codec;
        movie.size = size;
        movie.fps = fps;
        movie.audio = audio;
        if (options.seconds > 0) movie.frameLimit = std::max<std::int64_t>(1, std::llround(options.seconds * fps));
        recorder = std::make_unique<Recorder>(movie, [](QString why) {
            QMetaObject::invokeMethod(QCoreApplication::instance(), [why] { QCoreApplication::exit(why.isEmpty() ? 0 : 3); },
                                      Qt::QueuedConnection);
        });
        const QString failed = recorder->start();
        if (!failed.isEmpty()) {
            recorder.reset();
            finish(failed);
            return;
        }
        session.runner().attach(recorder->queue());
        // The length bounds the run whatever the source delivers: a source slower than the rate
        // would otherwise keep the frame count from ever being reached.
        if (options.seconds > 0) QTimer::singleShot(int(options.seconds * 1000) + LengthGraceMs, [&] { finish(QString()); });
    });
    QObject::connect(&session, &MediaSession::failed, [&](const QString& why) { finish(QStringLiteral("cannot open the source: %1").arg(why)); });
    QObject::connect(&session, &MediaSession::lost, [&](const QString& why) { finish(QStringLiteral("the source was lost: %1").arg(why)); });
    InstallQuitSignalHandler([&] { finish(QString()); });

    QTimer progress;
    const bool terminal = ::isatty(STDERR_FILENO);
    QObject::connect(&progress, &QTimer::timeout, [&] {
        if (!recorder) return;
        const RecorderStatistics now = recorder->statistics();
        std::fprintf(stderr, "%srecording %s: %lld frames, %lld dropped%s", terminal ? "\r" : "", options.out.toLocal8Bit().constData(),
                     static_cast<long long>(now.frames), static_cast<long long>(now.dropped), terminal ? "" : "\n");
    });
    progress.start(terminal ? 1000 : 10000);

    session.start();
    const int loop = QCoreApplication::exec();
    progress.stop();
    if (terminal) std::fputc('\n', stderr);
    if (!recorder) {
        session.stop();
        return fail(ExitFailed, reason.isEmpty() ? QStringLiteral("no picture") : reason);
    }
    session.runner().detach(recorder->queue());
    const QString failed = recorder->stop();
    session.stop();
    if (loop == 3 || !failed.isEmpty()) {
        reason = failed;
        status = ExitFailed;
    }
    const RecorderStatistics done = recorder->statistics();
    std::printf("frames=%lld dropped=%lld seconds=%s file=%s\n", static_cast<long long>(done.frames),
                static_cast<long long>(done.dropped), QString::number(double(done.frames) / fps, 'f', 2).toUtf8().constData(),
                options.out.toLocal8Bit().constData());
    std::fflush(stdout);
    if (!reason.isEmpty()) fail(status, reason);
    return status == ExitOk ? writeInfo(options) : status;
}

}  // namespace kestrova::cli
