// nemarro-cli: converts files and folder trees from a terminal or a script, several files
// at once, with the same catalogue, encoder and prober as the window.
#include "broken_pipe_signal.h"
#include "cli_options.h"
#include "cli_run.h"
#include "executable_folder.h"
#ifdef NEMARRO_WITH_SYNC
#include "sync_run.h"
#endif
#include "version_text.h"

#include <cstdio>

int main(int argc, char** argv) {
    CliOptions options;
    std::string error;
    switch (parseCliOptions(argc, argv, &options, &error)) {
    case CliRequest::Help:
        std::fputs(usageText().c_str(), stdout);
        return kExitConverted;
    case CliRequest::Version:
        std::fputs(versionText("nemarro-cli", NEMARRO_VERSION).c_str(), stdout);
        return kExitConverted;
    case CliRequest::ListProfiles:
        std::fputs(profileListText().c_str(), stdout);
        return kExitConverted;
    case CliRequest::Refused:
        std::fprintf(stderr, "nemarro-cli: %s\nTry 'nemarro-cli --help'.\n", error.c_str());
        return kExitBadUsage;
    case CliRequest::Convert:
        break;
    }
    ignoreBrokenPipeSignal();
    // cv.dat and pb.dat live beside the program (through the installed link too).
    char folder[1024];
    if (executableFolder(folder, sizeof folder) != 0) {
        std::fprintf(stderr, "nemarro-cli: the program's own folder, where cv.dat and pb.dat are, "
                             "cannot be found\n");
        return kExitSomeFailed;
    }
    if (options.sync) {
#ifdef NEMARRO_WITH_SYNC
        return runSync(options, folder);
#else
        std::fprintf(stderr, "nemarro-cli: this build has no --sync: its manifest needs SQLite, "
                             "which the Windows build does without\n");
        return kExitBadUsage;
#endif
    }
    return runConversion(options, folder);
}
