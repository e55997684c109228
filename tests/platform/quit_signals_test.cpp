#include "platform/quit_signals.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <gtest/gtest.h>

#include <csignal>

using namespace kestrova;

TEST(QuitSignals, ArriveOnTheEventLoop) {
    int requests = 0;
    InstallQuitSignalHandler([&] { ++requests; });
    std::raise(SIGTERM);
    std::raise(SIGINT);
    EXPECT_EQ(requests, 0);  // nothing runs inside the signal handler
    QDeadlineTimer deadline(5000);
    while (requests == 0 && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_GE(requests, 1);
}
