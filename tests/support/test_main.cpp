// Tests run with a real QApplication on the offscreen platform: windows are real widgets, no display.

#include "core/startup.h"
#include "platform/media/engine_threads.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    kestrova::PrepareApplication();
    return kestrova::media::EndOfProgram(RUN_ALL_TESTS());
}
