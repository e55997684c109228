#include "source_runner.h"

#include <pthread.h>

#include <algorithm>
#include <thread>
#include <vector>

namespace kestrova::media {

std::chrono::seconds ReconnectDelay(int attempt) {
    if (attempt <= 1) return std::chrono::seconds(1);
    if (attempt >= 6) return std::chrono::seconds(30);
    return std::chrono::seconds(1 << (attempt - 1));
}

struct SourceRunner::Shared {
    SourceSettings settings;
    Interrupt interrupt;
    LatestFrameSlot latest;

    std::mutex mutex;  // guards everything below
    SourceEvents events;
    std::vector<std::shared_ptr<BoundedFrameQueue>> queues;
    QSize size;
    QSize previewSize;
    RunnerState state = RunnerState::Idle;
    bool finished = false;
    std::condition_variable finishedChanged;
    std::thread thread;

    void setState(RunnerState next) {
        std::lock_guard lock(mutex);
        state = next;
    }
    template <typename Event, typename Value>
    void report(Event SourceEvents::*event, const Value& value) {
        std::lock_guard lock(mutex);
        if (events.*event) (events.*event)(value);
    }
    void deliver(Frame frame) {
        std::vector<std::shared_ptr<BoundedFrameQueue>> targets;
        QSize preview;
        {
            std::lock_guard lock(mutex);
            targets = queues;
            preview = previewSize;
        }
        frame.attachPreview(preview);
        for (const auto& queue : targets) queue->push(frame);
        latest.publish(std::move(frame));
    }

    void run();
};

void SourceRunner::Shared::run() {
    std::int64_t number = 0;
    bool everOpened = false;
    int attempt = 0;
    while (!interrupt.stopRequested()) {
        setState(everOpened ? RunnerState::Reconnecting : RunnerState::Opening);
        std::unique_ptr<Source> source = CreateSource(settings, interrupt);
        interrupt.arm(settings.openTimeout);
        QString reason = source ? source->open() : QStringLiteral("unknown kind of source \"%1\"").arg(settings.kind);
        if (interrupt.stopRequested()) break;
        if (!reason.isEmpty()) {
            if (!everOpened) {
                setState(RunnerState::Failed);
                report(&SourceEvents::failed, reason);
                return;
            }
            source.reset();
            if (!interrupt.sleepUntil(Interrupt::Clock::now() + ReconnectDelay(++attempt))) break;
            continue;
        }
        everOpened = true;
        attempt = 0;
        {
            std::lock_guard lock(mutex);
            size = source->size();
            state = RunnerState::Running;
        }
        report(&SourceEvents::opened, source->size());
        for (;;) {
            Frame frame;
            interrupt.arm(settings.readTimeout);
            if (source->read(frame, reason) != ReadStatus::Frame) break;
            frame.number = ++number;
            deliver(std::move(frame));
        }
        source.reset();
        if (interrupt.stopRequested()) break;
        report(&SourceEvents::lost, reason);
        setState(RunnerState::Reconnecting);
        if (!interrupt.sleepUntil(Interrupt::Clock::now() + ReconnectDelay(++attempt))) break;
    }
    setState(RunnerState::Stopped);
}

SourceRunner::SourceRunner(SourceSettings settings, SourceEvents events) : shared_(std::make_shared<Shared>()) {
    shared_->settings = std::move(settings);
    shared_->events = std::move(events);
}

SourceRunner::~SourceRunner() { stop(); }

void SourceRunner::start() {
    std::lock_guard lock(shared_->mutex);
    if (shared_->thread.joinable() || shared_->state != RunnerState::Idle) return;
    shared_->state = RunnerState::Opening;
    // The thread owns a share of everything it touches, so that it may outlive this runner.
    shared_->thread = std::thread([shared = shared_] {
        const QByteArray name = ("kv-" + shared->settings.kind).left(15).toLatin1();
        pthread_setname_np(pthread_self(), name.constData());
        shared->run();
        std::lock_guard lock(shared->mutex);
        shared->finished = true;
        shared->finishedChanged.notify_all();
    });
}

bool SourceRunner::stop() {
    shared_->interrupt.requestStop();
    shared_->latest.setNotify({});
    std::unique_lock lock(shared_->mutex);
    shared_->events = SourceEvents();
    if (!shared_->thread.joinable()) return true;
    const bool ended = shared_->finishedChanged.wait_for(lock, std::chrono::seconds(1), [&] { return shared_->finished; });
    std::thread thread = std::move(shared_->thread);
    lock.unlock();
    if (ended) {
        thread.join();
    } else {
        thread.detach();
    }
    return ended;
}

LatestFrameSlot& SourceRunner::latest() { return shared_->latest; }

void SourceRunner::attach(std::shared_ptr<BoundedFrameQueue> queue) {
    std::lock_guard lock(shared_->mutex);
    shared_->queues.push_back(std::move(queue));
}

void SourceRunner::detach(const std::shared_ptr<BoundedFrameQueue>& queue) {
    std::lock_guard lock(shared_->mutex);
    std::erase(shared_->queues, queue);
}

void SourceRunner::setPreviewSize(QSize size) {
    std::lock_guard lock(shared_->mutex);
    shared_->previewSize = size;
}

RunnerState SourceRunner::state() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->state;
}

QSize SourceRunner::size() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->size;
}

const SourceSettings& SourceRunner::settings() const { return shared_->settings; }

}  // namespace kestrova::media
