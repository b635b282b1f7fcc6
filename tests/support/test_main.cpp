// Test entry for dialog tests: the offscreen platform unless a display is
// asked for, the program's fonts and its application object (which names
// the program in message boxes), then every test.
#include <QApplication>

#include <cstdlib>

#include <gtest/gtest.h>

#include "demo_app.h"
#include "toolkit.h"

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    AfxInitToolkit();
    CDemoApp theApp;
    const int status = RUN_ALL_TESTS();
    AfxTermToolkit();
    return status;
}
