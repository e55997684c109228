#include "interrupt.h"

extern "C" {
#include <libavformat/avio.h>
}

namespace kestrova::media {

void Interrupt::requestStop() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
}

void Interrupt::arm(std::chrono::milliseconds timeout) {
    deadline_ = (Clock::now() + timeout).time_since_epoch().count();
}

bool Interrupt::expired() const {
    return stop_.load() || Clock::now().time_since_epoch().count() > deadline_.load();
}

bool Interrupt::sleepUntil(Clock::time_point until) {
    std::unique_lock lock(mutex_);
    wake_.wait_until(lock, until, [&] { return stop_.load(); });
    return !stop_.load();
}

void Interrupt::install(AVIOInterruptCB& callback) {
    callback.callback = [](void* opaque) { return static_cast<Interrupt*>(opaque)->expired() ? 1 : 0; };
    callback.opaque = this;
}

}  // namespace kestrova::media
