// The command line of nemarro: --help and --version, which print and need no display, and
// the files the window starts with. No toolkit here: it is read before the toolkit starts.
#pragma once

#include <string>
#include <vector>

struct CommandLine {
    enum class Action { OpenWindow, PrintHelp, PrintVersion, Refuse };
    Action action = Action::OpenWindow;
    std::vector<std::string> files; // as given, in order (OpenWindow)
    std::string refusal;            // the one line that says what was wrong (Refuse)
};

// Options come first and the first argument that is no option ends them, as does "--"
// (which is not a file itself). "-" alone and the empty argument count as files.
CommandLine parseCommandLine(int argc, const char* const* argv);

// The text printed on standard output for --help, ending in a line end (--version prints
// versionText, shared with nemarro-cli).
std::string helpText(const std::string& program);

// How the process ends after printing, and after a refused command line.
inline constexpr int kExitRefused = 2;
