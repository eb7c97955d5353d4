// Nemarro's entry point.
#include "command_line.h"
#include "main_app.h"
#include "string_table.h"
#include "version_text.h"

#include <QFileInfo>

#include <cstdio>

int main(int argc, char** argv) {
    // What only prints is done before the toolkit, which would need a display.
    const CommandLine line = parseCommandLine(argc, argv);
    const std::string program = QFileInfo(QString::fromLocal8Bit(argv[0])).fileName().toStdString();
    switch (line.action) {
    case CommandLine::Action::PrintHelp:
        std::fputs(helpText(program).c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    case CommandLine::Action::PrintVersion:
        std::fputs(versionText("nemarro", loadString(IDS_VERSION).toStdString()).c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    case CommandLine::Action::Refuse:
        std::fprintf(stderr, "%s: %s\nTry \"%s --help\" for more information.\n", program.c_str(),
                     line.refusal.c_str(), program.c_str());
        return kExitRefused;
    case CommandLine::Action::OpenWindow:
        break;
    }

    const QString hint = CMainApp::missingDisplayHint(argv[0]);
    if (!hint.isEmpty()) {
        std::fprintf(stderr, "%s\n", hint.toLocal8Bit().constData());
        return 1;
    }
    QStringList files;
    for (const std::string& file : line.files) {
        files << QString::fromLocal8Bit(file.c_str());
    }
    // The toolkit sees the program's name only: a file is never taken for one of its options.
    int toolkitArgc = 1;
    CMainApp app(toolkitArgc, argv);
    return app.run(files);
}
