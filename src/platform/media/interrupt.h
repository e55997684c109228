#pragma once
// Stop request and deadline of one source thread. FFmpeg polls it through its interrupt callback,
// the source's own waits sleep on it, and a stop wakes both at once.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

struct AVIOInterruptCB;

namespace kestrova::media {

class Interrupt {
public:
    using Clock = std::chrono::steady_clock;

    void requestStop();
    bool stopRequested() const { return stop_.load(); }

    // Operations after this fail once `timeout` has passed.
    void arm(std::chrono::milliseconds timeout);
    bool expired() const;

    // Sleeps until `until` or a stop; false when stopped.
    bool sleepUntil(Clock::time_point until);

    // Fills FFmpeg's interrupt callback so that blocking reads end on a stop or at the deadline.
    void install(AVIOInterruptCB& callback);

private:
    std::atomic<bool> stop_{false};
    std::atomic<Clock::rep> deadline_{Clock::time_point::max().time_since_epoch().count()};
    std::mutex mutex_;
    std::condition_variable wake_;
};

}  // namespace kestrova::media
