#include "quit_signals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace kestrova {

namespace {
int pipeEnds[2] = {-1, -1};

std::function<void()>& handler() {
    static std::function<void()> onQuit;
    return onQuit;
}

// A signal handler may only do async-signal-safe work: one byte down the pipe wakes the event loop.
void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
}
}  // namespace

void InstallQuitSignalHandler(std::function<void()> onQuit) {
    handler() = std::move(onQuit);
    if (pipeEnds[0] >= 0) return;
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* notifier = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
        char buffer[16];
        while (::read(pipeEnds[0], buffer, sizeof buffer) > 0) {
        }
        // A copy: the handler may install another one.
        const std::function<void()> onQuit = handler();
        if (onQuit) onQuit();
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &action, nullptr);
}

}  // namespace kestrova
