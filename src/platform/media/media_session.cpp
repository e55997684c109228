#include "media_session.h"

#include <QMetaObject>

namespace kestrova::media {

namespace {
SourceEvents relayTo(MediaSession* session) {
    SourceEvents events;
    events.opened = [session](QSize size) {
        QMetaObject::invokeMethod(session, [session, size] { emit session->opened(size); }, Qt::QueuedConnection);
    };
    events.failed = [session](const QString& reason) {
        QMetaObject::invokeMethod(session, [session, reason] { emit session->failed(reason); }, Qt::QueuedConnection);
    };
    events.lost = [session](const QString& reason) {
        QMetaObject::invokeMethod(session, [session, reason] { emit session->lost(reason); }, Qt::QueuedConnection);
    };
    return events;
}
}  // namespace

MediaSession::MediaSession(SourceSettings settings, QObject* parent) : QObject(parent), runner_(std::move(settings), relayTo(this)) {
    runner_.latest().setNotify([this] {
        QMetaObject::invokeMethod(this, [this] { emit frameAvailable(); }, Qt::QueuedConnection);
    });
}

MediaSession::~MediaSession() { runner_.stop(); }

void MediaSession::start() { runner_.start(); }

void MediaSession::stop() { runner_.stop(); }

Frame MediaSession::takeLatest() { return runner_.latest().take(); }

GrabResult GrabFrame(const SourceSettings& settings, std::chrono::milliseconds timeout) {
    const auto deadline = Interrupt::Clock::now() + timeout;
    auto failure = std::make_shared<std::pair<std::mutex, QString>>();
    SourceEvents events;
    events.failed = [failure](const QString& reason) {
        std::lock_guard lock(failure->first);
        failure->second = reason;
    };
    SourceSettings limited = settings;
    limited.openTimeout = std::min(settings.openTimeout, timeout);
    SourceRunner runner(limited, events);
    runner.start();
    GrabResult result;
    while (Interrupt::Clock::now() < deadline) {
        const auto slice = std::min(deadline, Interrupt::Clock::now() + std::chrono::milliseconds(20));
        if (std::optional<Frame> frame = runner.latest().waitNewer(0, slice)) {
            result.frame = std::move(*frame);
            break;
        }
        std::lock_guard lock(failure->first);
        if (!failure->second.isEmpty()) {
            result.reason = failure->second;
            break;
        }
    }
    runner.stop();
    if (!result.frame.isValid() && result.reason.isEmpty()) result.reason = QStringLiteral("no picture in time");
    return result;
}

}  // namespace kestrova::media
