#include "engine_threads.h"

#include <pthread.h>

#include <cstdio>
#include <cstdlib>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace kestrova::media {

namespace {

struct Live {
    std::mutex mutex;
    std::condition_variable none;
    int count = 0;
};

// Never destroyed: a thread may still end after the program's static objects are gone.
Live& live() {
    static Live* threads = new Live;
    return *threads;
}

}  // namespace

void RunDetached(const char* name, std::function<void()> work) {
    Live& threads = live();
    {
        std::lock_guard lock(threads.mutex);
        ++threads.count;
    }
    std::thread([name = std::string(name).substr(0, 15), work = std::move(work), &threads]() mutable {
        pthread_setname_np(pthread_self(), name.c_str());
        {
            // What the work owns is gone before the thread counts as ended.
            const std::function<void()> job = std::move(work);
            job();
        }
        std::lock_guard lock(threads.mutex);
        if (--threads.count == 0) threads.none.notify_all();
    }).detach();
}

bool WaitForEngineThreads(std::chrono::milliseconds timeout) {
    Live& threads = live();
    std::unique_lock lock(threads.mutex);
    return threads.none.wait_for(lock, timeout, [&] { return threads.count == 0; });
}

int EndOfProgram(int status, std::chrono::milliseconds timeout) {
    if (WaitForEngineThreads(timeout)) return status;
    std::fflush(nullptr);
    std::_Exit(status);
}

}  // namespace kestrova::media
