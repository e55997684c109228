#pragma once
// Median wall time of repeated runs, in milliseconds.

#include <algorithm>
#include <chrono>
#include <vector>

template <class F>
double medianMilliseconds(int runs, F&& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}
