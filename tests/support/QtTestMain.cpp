// Test runner for the tests that need Qt: one QApplication for the whole run, on the offscreen
// platform unless the environment names another (a real X display for desktop checks).
#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char* argv[]) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    return RUN_ALL_TESTS();
}
