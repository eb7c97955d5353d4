// Nemarro's entry point.
#include "main_app.h"

#include <cstdio>

int main(int argc, char** argv) {
    const QString hint = CMainApp::missingDisplayHint(argv[0]);
    if (!hint.isEmpty()) {
        std::fprintf(stderr, "%s\n", hint.toLocal8Bit().constData());
        return 1;
    }
    CMainApp app(argc, argv);
    return app.run();
}
