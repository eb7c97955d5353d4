// CMainApp: the application object. The program's whole life is the modal main window.
#pragma once

#include <QApplication>

class CMainApp : public QApplication {
    Q_OBJECT

public:
    CMainApp(int& argc, char** argv);
    ~CMainApp() override;

    // Runs the main window modally, adding `files` (from the command line, as given) as a
    // drop of them would; returns the process's exit code once the window has closed.
    int run(const QStringList& files);

    // On a desktop system without any display: the one line that says how to start the
    // program on a virtual one; empty when a display (or a chosen platform) is there.
    static QString missingDisplayHint(const char* programPath);
};
