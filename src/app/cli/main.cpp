#include "cli.h"

#include "core/startup.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>
#include <memory>

namespace {
// Qt's own notices (a missing XDG_RUNTIME_DIR and the like) are not the command's output; its
// critical messages still reach standard error.
void quietQtNotices(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}
}  // namespace

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    std::unique_ptr<QCoreApplication> application;
    if (kestrova::cli::NeedsPainting(arguments)) {
        qInstallMessageHandler(quietQtNotices);
        qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
    kestrova::PrepareApplication();
    // The program's folders and texts, as the window has them (the web share writes its image there).
    kestrova::SetStartDefaults();
    return kestrova::cli::Run(arguments);
}
