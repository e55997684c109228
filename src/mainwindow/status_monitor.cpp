#include "status_monitor.h"

#include "core/number_forms.h"

#include <QDir>
#include <QFileInfo>

#include <sys/statvfs.h>

#include <cmath>

namespace kestrova {

double DiskFreeSpace(const QString& path) {
    if (!QDir::isAbsolutePath(path)) return 0;
    QString folder = QDir::cleanPath(path);
    while (!QFileInfo::exists(folder)) {
        const QString parent = QFileInfo(folder).path();
        if (parent == folder) return 0;
        folder = parent;
    }
    struct statvfs info {};
    if (statvfs(QFile::encodeName(folder).constData(), &info) != 0) return 0;
    return static_cast<double>(info.f_bavail) * static_cast<double>(info.f_frsize);
}

QString DiskSpaceText(double freeBytes) {
    if (freeBytes <= 1048576) return QStringLiteral("Disk Full (< 1Mb)");
    return QStringLiteral("Free Space : ") + PlainDecimal(std::floor(freeBytes / 1048576)) + QStringLiteral(" Mb");
}

QString EstimatedSizeText(float estimatedBytes) {
    return QStringLiteral("Estimated Filesize: ") + SignColumn(std::floor(estimatedBytes / 1048576.0)) + QStringLiteral(" Mb");
}

std::array<StatusPanelColumn, 3> StatusPanelColumns(int widthPixels, int captionHeightPixels, int valueHeightPixels,
                                                    double twipsPerPixel) {
    const double columnTwips = static_cast<double>(RoundHalfEven(widthPixels * twipsPerPixel / 3.0));
    const int width = static_cast<int>(columnTwips / twipsPerPixel);
    const int top = static_cast<int>(3 / twipsPerPixel);
    std::array<StatusPanelColumn, 3> columns;
    for (int i = 0; i < 3; ++i) {
        const int left = static_cast<int>(i * columnTwips / twipsPerPixel);
        columns[i].caption = QRect(left, top, width, captionHeightPixels);
        columns[i].value = QRect(left, captionHeightPixels - 2, width, valueHeightPixels);
    }
    return columns;
}

}  // namespace kestrova
