#include "webshare_command.h"

#include "cli.h"
#include "options.h"

#include "capture/source_kind.h"

#include "core/folders.h"
#include "core/global_state.h"
#include "core/settings.h"
#include "network/webshare.h"
#include "platform/image_view.h"
#include "platform/media/devices.h"
#include "platform/media/media_session.h"
#include "platform/picture_writer.h"
#include "platform/quit_signals.h"
#include "platform/stream_server.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

#include <cstdio>

namespace kestrova::cli {

namespace {

int fail(int status, const QString& text) { return SayFailure("webshare", status, text); }

}  // namespace

int RunWebShare(const QStringList& arguments) {
    QString error;
    const auto options = ParseOptions(arguments, {"source", "port", "quality", "seconds"}, {}, error);
    if (!options) return fail(ExitUsage, error);
    if (!options->positional.isEmpty()) return fail(ExitUsage, QStringLiteral("unexpected %1").arg(options->positional.front()));
    const QString sourceName = options->value("source");
    if (sourceName.isEmpty()) return fail(ExitUsage, QStringLiteral("usage: webshare --source S [--port N]"));
    // The window's stored port and quality unless others are given.
    const QString section = QStringLiteral("WebShare");
    const auto port = ParseInt(options->value("port", GetSetting(SettingsAppTitle(), section, "Port", "80")), 0, 65535);
    if (!port) return fail(ExitUsage, QStringLiteral("--port takes 0 to 65535"));
    const auto quality = ParseInt(options->value("quality", GetSetting(SettingsAppTitle(), section, "Quality", "75")), 1, 100);
    if (!quality) return fail(ExitUsage, QStringLiteral("--quality takes 1 to 100"));
    const auto seconds = ParseInt(options->value("seconds", "0"), 0, 24 * 3600 * 365);
    if (!seconds) return fail(ExitUsage, QStringLiteral("--seconds takes a whole number of seconds"));

    const std::optional<NamedSource> named = SourceFromName(sourceName, media::VideoDevices(), error);
    if (!named) return fail(ExitUsage, error);

    media::MediaSession session(named->settings);
    StreamServer server;
    server.setPort(*port);
    WebShareResponder::Sources sources;
    sources.templateFile = DataFilePath(QStringLiteral("webshare.html"));
    sources.imageFile = Vars.AppFolder + QStringLiteral("qorb-stream.jpg");
    sources.homePage = Vars.HomePageAddress;
    sources.quality = [&] { return *quality; };
    sources.saveStill = [&](const QString& file, int stillQuality) {
        const QImage picture = session.takeLatest().image();
        if (!picture.isNull()) WritePicture(ViewOf(picture), file, stillQuality);
    };
    WebShareResponder responder(server, sources);

    QString reason;
    auto finish = [&](const QString& why) {
        reason = why;
        QCoreApplication::exit(0);
    };
    bool lost = false;
    QObject::connect(&session, &media::MediaSession::lost, [&](const QString& why) {
        lost = true;
        std::fprintf(stderr, "the source was lost: %s (reopening)\n", why.toLocal8Bit().constData());
    });
    QObject::connect(&session, &media::MediaSession::opened, [&] {
        if (std::exchange(lost, false)) std::fprintf(stderr, "the source is back\n");
        if (server.active()) return;  // a reopen after a loss keeps serving
        if (!server.setActive(true)) {
            finish(QStringLiteral("cannot listen on port %1: %2").arg(*port).arg(server.errorString()));
            return;
        }
        std::fprintf(stderr, "serving http://%s:%d/ (Ctrl+C ends)\n", server.localAddress().toLocal8Bit().constData(),
                     server.boundPort());
    });
    QObject::connect(&session, &media::MediaSession::failed,
                     [&](const QString& why) { finish(QStringLiteral("cannot open %1: %2").arg(sourceName, why)); });
    QObject::connect(&responder, &WebShareResponder::statusText, [&](const QString& text) {
        if (text == QLatin1String("Streaming")) std::fprintf(stderr, "image sent\n");
    });
    InstallQuitSignalHandler([&] { finish(QString()); });
    if (*seconds > 0) QTimer::singleShot(*seconds * 1000, [&] { finish(QString()); });

    session.start();
    QCoreApplication::exec();
    server.setActive(false);
    session.stop();
    QFile::remove(sources.imageFile);
    return reason.isEmpty() ? ExitOk : fail(ExitFailed, reason);
}

}  // namespace kestrova::cli
