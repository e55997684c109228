#include "process_priority.h"

#include <QDir>

#include <cerrno>
#include <cstring>
#include <sys/resource.h>

namespace kestrova {

QString ApplyPriority(int niceValue, const QList<int>& threads, const std::function<int(int, int)>& setNice) {
    for (int thread : threads) {
        if (const int error = setNice(thread, niceValue); error != 0) return QString::fromLocal8Bit(std::strerror(error));
    }
    return {};
}

QString SetProcessPriority(int niceValue) {
    QList<int> threads;
    for (const QString& name : QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        threads << name.toInt();
    }
    return ApplyPriority(niceValue, threads, [](int thread, int value) {
        return setpriority(PRIO_PROCESS, id_t(thread), value) == 0 ? 0 : errno;
    });
}

}  // namespace kestrova
