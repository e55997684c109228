#include "start.h"

#include "core/startup.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    kestrova::PrepareApplication();
    return kestrova::RunProgram({.commandLine = QCoreApplication::arguments().mid(1).join(QLatin1Char(' '))});
}
