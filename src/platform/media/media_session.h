#pragma once
// A source opened for a window or a command: the runner's events as Qt signals on the thread that
// owns the session, and one coalesced frameAvailable() per frame the consumer has not yet taken.

#include "source_runner.h"

#include <QObject>

#include <memory>

namespace kestrova::media {

class MediaSession : public QObject {
    Q_OBJECT
public:
    explicit MediaSession(SourceSettings settings, QObject* parent = nullptr);
    ~MediaSession() override;

    // Opens on the source's own thread; the outcome arrives as opened() or failed().
    void start();
    void stop();

    // The newest frame without waiting (null image before the first), re-arming frameAvailable().
    Frame takeLatest();
    SourceRunner& runner() { return runner_; }

signals:
    void opened(QSize size);
    void failed(const QString& reason);
    void lost(const QString& reason);
    void frameAvailable();

private:
    SourceRunner runner_;
};

// One frame of any source within `timeout`: opened, the first frame taken, closed again.
struct GrabResult {
    Frame frame;     // null image when it failed
    QString reason;  // why it failed
};
GrabResult GrabFrame(const SourceSettings& settings, std::chrono::milliseconds timeout);

}  // namespace kestrova::media
