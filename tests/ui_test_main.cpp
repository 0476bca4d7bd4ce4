#include <QApplication>
#include <QStandardPaths>
#include <gtest/gtest.h>

// The window tests run on the real X server that scripts/test starts (VARURAV_X_DISPLAY), where
// a window manager gives activation, focus, modal boxes and editors their desktop behaviour.
// Without one they fall back to the offscreen platform, and the tests that need a desktop skip.
int main(int argc, char** argv) {
    const QByteArray display = qgetenv("VARURAV_X_DISPLAY");
    if (display.isEmpty()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    } else {
        qputenv("DISPLAY", display);
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
