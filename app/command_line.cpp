// Reading nemarro's command line.
#include "command_line.h"

#include <cstring>

CommandLine parseCommandLine(int argc, const char* const* argv) {
    CommandLine line;
    int i = 1;
    for (; i < argc; ++i) {
        const char* argument = argv[i];
        if (argument[0] != '-' || argument[1] == '\0') {
            break; // the first file
        }
        if (std::strcmp(argument, "--") == 0) {
            ++i;
            break;
        }
        if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
            line.action = CommandLine::Action::PrintHelp;
            return line;
        }
        if (std::strcmp(argument, "--version") == 0 || std::strcmp(argument, "-V") == 0) {
            line.action = CommandLine::Action::PrintVersion;
            return line;
        }
        // A file named like an option is never taken for one silently, nor the other way.
        line.action = CommandLine::Action::Refuse;
        line.refusal = std::string("unknown option \"") + argument +
                       "\" (a file whose name begins with \"-\" is named after \"--\" or as ./" +
                       argument + ")";
        return line;
    }
    for (; i < argc; ++i) {
        line.files.emplace_back(argv[i]);
    }
    return line;
}

std::string helpText(const std::string& program) {
    return "Usage: " + program +
           " [OPTION]... [--] [FILE]...\n"
           "Convert audio files, and the sound of video files, to other formats.\n"
           "\n"
           "Opens the converter's window with the FILEs in its list, as if they had been\n"
           "dropped on it. A folder is added as a drop of it would be.\n"
           "\n"
           "  -h, --help      print this help and exit\n"
           "  -V, --version   print the version and exit\n"
           "  --              end the options: every argument after it is a FILE\n"
           "\n"
           "Options come before the files. A file whose name begins with \"-\" is named\n"
           "after \"--\" or as ./-name. The window needs a display (DISPLAY or\n"
           "WAYLAND_DISPLAY); --help and --version do not.\n"
           "\n"
           "Home page: <https://www.nemarro.example/>\n";
}
