// nemarro's command line: options first, "--" ends them, files as given.
#include "command_line.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Action = CommandLine::Action;

TEST(CommandLine, OptionsComeFirstAndDoubleDashEndsThem) {
    struct Case {
        std::vector<const char*> arguments; // after the program
        Action action;
        std::vector<std::string> files;
    };
    const Case cases[] = {
        {{}, Action::OpenWindow, {}},
        {{"a.flac", "", "b c.wav"}, Action::OpenWindow, {"a.flac", "", "b c.wav"}},
        {{"--help", "a.flac"}, Action::PrintHelp, {}},
        {{"-h"}, Action::PrintHelp, {}},
        {{"--version"}, Action::PrintVersion, {}},
        {{"-V", "--help"}, Action::PrintVersion, {}},
        // After the first file or "--" nothing is an option.
        {{"a.flac", "--help", "-x"}, Action::OpenWindow, {"a.flac", "--help", "-x"}},
        {{"--", "-x.wav", "--", "--version"}, Action::OpenWindow, {"-x.wav", "--", "--version"}},
        {{"-", "./-x.wav"}, Action::OpenWindow, {"-", "./-x.wav"}},
        {{"-x.wav"}, Action::Refuse, {}},
        {{"--helpme", "a.flac"}, Action::Refuse, {}},
    };
    for (const Case& c : cases) {
        std::vector<const char*> argv = {"nemarro"};
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        const CommandLine line = parseCommandLine(int(argv.size()), argv.data());
        const std::string shown = ::testing::PrintToString(c.arguments);
        EXPECT_EQ(line.action, c.action) << shown;
        EXPECT_EQ(line.files, c.files) << shown;
        EXPECT_EQ(line.refusal.empty(), c.action != Action::Refuse) << shown;
    }
}

} // namespace
