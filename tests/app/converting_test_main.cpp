// The main of the converting tests: offscreen, with a home folder of their own so the
// video folder the main window creates is a temporary one.
#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qunsetenv("XDG_CONFIG_HOME");
    // No notice or taskbar progress of a test reaches the desktop of whoever runs it.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/nemarro-test-bus");
    qunsetenv("NEMARRO_FAKE_SCRIPT");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
