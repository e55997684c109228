#include "frame_queue.h"

#include <utility>

namespace kestrova::media {

void LatestFrameSlot::setNotify(std::function<void()> notify) {
    std::lock_guard calling(notifyMutex_);
    notify_ = std::move(notify);
    std::lock_guard lock(mutex_);
    noticePending_ = false;
}

void LatestFrameSlot::publish(Frame frame) {
    bool notice = false;
    {
        std::lock_guard lock(mutex_);
        frame_ = std::move(frame);
        notice = !std::exchange(noticePending_, true);
    }
    arrived_.notify_all();
    if (!notice) return;
    std::lock_guard calling(notifyMutex_);
    if (notify_) {
        notify_();
    } else {
        std::lock_guard lock(mutex_);
        noticePending_ = false;
    }
}

Frame LatestFrameSlot::take() {
    std::lock_guard lock(mutex_);
    noticePending_ = false;
    return frame_;
}

std::optional<Frame> LatestFrameSlot::waitNewer(std::int64_t afterNumber, std::chrono::steady_clock::time_point deadline) {
    std::unique_lock lock(mutex_);
    if (!arrived_.wait_until(lock, deadline, [&] { return frame_.isValid() && frame_.number > afterNumber; })) {
        return std::nullopt;
    }
    return frame_;
}

void LatestFrameSlot::clear() {
    std::lock_guard lock(mutex_);
    frame_ = Frame();
    noticePending_ = false;
}

BoundedFrameQueue::BoundedFrameQueue(std::size_t capacity) : capacity_(capacity) {}

bool BoundedFrameQueue::full() const {
    std::lock_guard lock(mutex_);
    return frames_.size() >= capacity_;
}

bool BoundedFrameQueue::push(Frame frame) {
    {
        std::lock_guard lock(mutex_);
        if (closed_ || frames_.size() >= capacity_) {
            ++dropped_;
            return false;
        }
        frames_.push_back(std::move(frame));
    }
    changed_.notify_one();
    return true;
}

std::optional<Frame> BoundedFrameQueue::pop(std::chrono::steady_clock::time_point deadline) {
    std::unique_lock lock(mutex_);
    if (!changed_.wait_until(lock, deadline, [&] { return !frames_.empty() || closed_; }) || frames_.empty()) {
        return std::nullopt;
    }
    Frame frame = std::move(frames_.front());
    frames_.pop_front();
    return frame;
}

void BoundedFrameQueue::close() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    changed_.notify_all();
}

std::int64_t BoundedFrameQueue::dropped() const {
    std::lock_guard lock(mutex_);
    return dropped_;
}

}  // namespace kestrova::media
