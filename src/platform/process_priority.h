#pragma once
// The program's priority: normal (nice 0), high (-10) or real-time (-20). Linux keeps a nice value
// per thread, so every thread of the process gets it.

#include <QString>
#include <QList>

#include <functional>

namespace kestrova {

inline constexpr int PriorityRealTime = -20;
inline constexpr int PriorityHigh = -10;
inline constexpr int PriorityNormal = 0;

// Sets `niceValue` on each thread through `setNice` (thread id, value -> 0 or an errno); empty
// when every thread took it, else the system's reason.
QString ApplyPriority(int niceValue, const QList<int>& threads, const std::function<int(int, int)>& setNice);

// The threads of this process and the system call, for the program itself.
QString SetProcessPriority(int niceValue);

}  // namespace kestrova
