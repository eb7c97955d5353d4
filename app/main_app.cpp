// The application object: toolkit set-up, the modal main window, and the check for a
// display before the toolkit would end the program with an error of its own.
#include "main_app.h"

#include "adding_files.h"
#include "broken_pipe_signal.h"
#include "dialog_units.h"
#include "main_dlg.h"
#include "skin_resources.h"

#include <QDir>

#include <cstdlib>

CMainApp::CMainApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Nemarro"));
    // Docks and task switchers find the menu entry, and with it name and icon, by this.
    setDesktopFileName(QStringLiteral("nemarro"));
    setWindowIcon(loadAppIcon(IDI_APP_ICON));
    // Menus, tooltips and the Edit Profile dialog share the windows' face.
    setFont(dialogFont());
    // A write to a pipe whose reader has gone must be an error code, not the end of us.
    ignoreBrokenPipeSignal();
}

CMainApp::~CMainApp() = default;

int CMainApp::run(const QStringList& files) {
    {
        CMainDlg mainWindow;
        mainWindow.addDroppedPaths(pathsFromCommandLine(files, QDir::currentPath()));
        mainWindow.exec();
    }
    // Nothing waits for the background check: the process ends with the window.
    return 0;
}

QString CMainApp::missingDisplayHint(const char* programPath) {
#if defined(Q_OS_LINUX) || defined(Q_OS_FREEBSD)
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    if (set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY")) {
        return QString();
    }
    return QStringLiteral("No display found. To start Nemarro on a virtual one: "
                          "xvfb-run -s '-screen 0 1024x768x24' %1")
        .arg(QString::fromLocal8Bit(programPath));
#else
    Q_UNUSED(programPath);
    return QString();
#endif
}
