#pragma once
// One open source on its own named thread: opens it within the open deadline, hands every frame to
// the latest-frame slot and to the attached queues, reports a loss once and then reopens with
// back-off. Stopping never waits for the thread: it is told to end and finishes on its own, keeping
// everything it uses alive (a call that ignores the interrupt may hold it a while). A camera opened
// again waits, on its new thread, until the previous runner of the same device has let it go.
//
// Every member is called from the thread that owns the runner; the events and the slot's notice
// come from the source thread.

#include "frame_queue.h"
#include "source.h"

#include <QSize>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>

namespace kestrova::media {

// Events arrive on the source thread; a receiver hands them on to its own thread. An event may ask the
// runner anything, but must not wait for the thread that stops it.
struct SourceEvents {
    std::function<void(QSize)> opened;   // after the first open and after every reopen
    std::function<void(QString)> failed; // the first open failed: the thread ends
    std::function<void(QString)> lost;   // once per loss; reopening follows
};

enum class RunnerState { Idle, Opening, Running, Reconnecting, Failed, Stopped };

// Wait before reopen attempt n (1, 2, ...): 1, 2, 4 ... seconds, never more than 30.
std::chrono::seconds ReconnectDelay(int attempt);

class SourceRunner {
public:
    SourceRunner(SourceSettings settings, SourceEvents events);
    ~SourceRunner();
    SourceRunner(const SourceRunner&) = delete;
    SourceRunner& operator=(const SourceRunner&) = delete;

    void start();
    // Tells the thread to end, without waiting for it. No event is delivered after this returns.
    void stop();
    // After stop(): true once the thread has ended, waiting up to `timeout` (never on the UI thread).
    bool waitStopped(std::chrono::milliseconds timeout) const;

    LatestFrameSlot& latest();
    // Every frame from now on is also offered to the queue (dropped and counted there when full).
    void attach(std::shared_ptr<BoundedFrameQueue> queue);
    void detach(const std::shared_ptr<BoundedFrameQueue>& queue);

    // Frames from now on carry their preview at this size, made on the source thread; empty: none.
    void setPreviewSize(QSize size);

    RunnerState state() const;
    QSize size() const;
    const SourceSettings& settings() const;

    struct Shared;  // what the source thread shares with the runner; opaque

private:
    std::shared_ptr<Shared> shared_;
};

}  // namespace kestrova::media
