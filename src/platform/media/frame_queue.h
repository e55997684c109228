#pragma once
// The two hand-overs between a source thread and its consumers.
//
// LatestFrameSlot: the preview's double buffer. The source overwrites it; a reader takes the newest
// frame without waiting. At most one "new frame" notice is outstanding at a time: the notice is armed
// again only when a reader takes the frame, so a busy UI thread never collects a backlog.
//
// BoundedFrameQueue: for consumers that need every frame (the recorder, a still grab). When it is full
// the new frame is dropped and counted, and the source never waits for the consumer.

#include "frame.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>

namespace kestrova::media {

class LatestFrameSlot {
public:
    // Called on the source thread when a frame arrives and no notice is outstanding. Once this
    // returns, the notice set before is no longer called.
    void setNotify(std::function<void()> notify);

    void publish(Frame frame);
    // The newest frame (possibly one taken before) without waiting; re-arms the notice.
    Frame take();
    // Waits for a frame newer than `afterNumber`, up to the deadline.
    std::optional<Frame> waitNewer(std::int64_t afterNumber, std::chrono::steady_clock::time_point deadline);
    void clear();

private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    Frame frame_;
    bool noticePending_ = false;
    std::mutex notifyMutex_;  // guards notify_ and is held while it is called
    std::function<void()> notify_;
};

class BoundedFrameQueue {
public:
    explicit BoundedFrameQueue(std::size_t capacity);

    // False when the queue was full or closed: the frame is dropped and counted.
    bool push(Frame frame);
    // The oldest frame, waiting up to the deadline; nothing on timeout or when closed and empty.
    std::optional<Frame> pop(std::chrono::steady_clock::time_point deadline);
    // Wakes every waiting pop; later pushes are dropped.
    void close();
    std::int64_t dropped() const;
    // A producer that must lose nothing (the AVI builder) pushes only while this is false.
    bool full() const;

private:
    const std::size_t capacity_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Frame> frames_;
    std::int64_t dropped_ = 0;
    bool closed_ = false;
};

}  // namespace kestrova::media
