#include "cli.h"

#include "core/startup.h"

#include <QCoreApplication>

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    kestrova::PrepareApplication();
    return kestrova::cli::Run(QCoreApplication::arguments().mid(1));
}
