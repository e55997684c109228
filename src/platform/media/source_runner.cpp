#include "source_runner.h"

#include "engine_threads.h"

#include <algorithm>
#include <map>
#include <vector>

namespace kestrova::media {

std::chrono::seconds ReconnectDelay(int attempt) {
    if (attempt <= 1) return std::chrono::seconds(1);
    if (attempt >= 6) return std::chrono::seconds(30);
    return std::chrono::seconds(1 << (attempt - 1));
}

// How long a camera opened again waits for its previous runner to close the device.
constexpr auto HandOverTimeout = std::chrono::seconds(3);

struct SourceRunner::Shared {
    SourceSettings settings;
    Interrupt interrupt;
    LatestFrameSlot latest;

    // Guards the events and is held while one is delivered, so that stop() can promise that no
    // event follows it. Recursive: an event may stop its own runner.
    std::recursive_mutex deliverMutex;
    SourceEvents events;

    mutable std::mutex mutex;  // guards everything below; never held while an event is delivered
    std::vector<std::shared_ptr<BoundedFrameQueue>> queues;
    QSize size;
    QSize previewSize;
    RunnerState state = RunnerState::Idle;
    bool finished = false;
    mutable std::condition_variable finishedChanged;
    std::shared_ptr<Shared> predecessor;  // the same device's previous runner, until it has let go

    void setState(RunnerState next) {
        std::lock_guard lock(mutex);
        state = next;
    }
    template <typename Event, typename Value>
    void report(Event SourceEvents::*event, const Value& value) {
        std::lock_guard delivering(deliverMutex);
        const auto callback = events.*event;
        if (callback) callback(value);
    }
    bool waitFinished(std::chrono::steady_clock::time_point deadline) const {
        std::unique_lock lock(mutex);
        return finishedChanged.wait_until(lock, deadline, [&] { return finished; });
    }
    // Waits for the previous runner of the device, slice by slice, so that a stop still ends this one.
    void awaitHandOver() {
        std::shared_ptr<Shared> previous;
        {
            std::lock_guard lock(mutex);
            previous = std::move(predecessor);
        }
        if (!previous) return;
        const auto deadline = std::chrono::steady_clock::now() + HandOverTimeout;
        while (!interrupt.stopRequested() && std::chrono::steady_clock::now() < deadline &&
               !previous->waitFinished(std::min(deadline, std::chrono::steady_clock::now() + std::chrono::milliseconds(50)))) {
        }
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
    awaitHandOver();
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

namespace {

// The last runner of each camera, so that the next one can wait for the device to be free.
std::mutex registryMutex;
std::map<QString, std::weak_ptr<SourceRunner::Shared>>& lastRunners() {
    static auto* runners = new std::map<QString, std::weak_ptr<SourceRunner::Shared>>;
    return *runners;
}

}  // namespace

void SourceRunner::start() {
    {
        std::lock_guard lock(shared_->mutex);
        if (shared_->state != RunnerState::Idle) return;
        shared_->state = RunnerState::Opening;
    }
    if (shared_->settings.kind == QLatin1String(KindCamera)) {
        std::lock_guard lock(registryMutex);
        std::weak_ptr<Shared>& last = lastRunners()[shared_->settings.address];
        std::shared_ptr<Shared> previous = last.lock();
        last = shared_;
        std::lock_guard own(shared_->mutex);
        shared_->predecessor = std::move(previous);
    }
    // The thread owns a share of everything it touches, so that it may outlive this runner.
    RunDetached(("kv-" + shared_->settings.kind).toLatin1().constData(), [shared = shared_] {
        shared->run();
        std::lock_guard lock(shared->mutex);
        shared->finished = true;
        shared->finishedChanged.notify_all();
    });
}

void SourceRunner::stop() {
    shared_->interrupt.requestStop();
    shared_->latest.setNotify({});
    std::lock_guard delivering(shared_->deliverMutex);
    shared_->events = SourceEvents();
}

bool SourceRunner::waitStopped(std::chrono::milliseconds timeout) const {
    {
        std::lock_guard lock(shared_->mutex);
        if (shared_->state == RunnerState::Idle) return true;
    }
    return shared_->waitFinished(std::chrono::steady_clock::now() + timeout);
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
