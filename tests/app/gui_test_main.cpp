// The main of the window tests: offscreen, with a home folder of their own so the
// user's video folder they create is a temporary one, and a version check that never
// leaves the machine unless a test points it at its own server.
#include "update_check_watcher.h"

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
    QApplication app(argc, argv);
    // An empty address fails at once, before any name lookup or connection.
    setUpdateCheckSettingsHook([](UpdateCheckSettings& settings) {
        settings.versionAddress.clear();
        settings.pingAddress.clear();
    });
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
