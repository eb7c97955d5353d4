// Splitting composed command lines back into arguments.
#include "command_line_split.h"

#include <gtest/gtest.h>

namespace {
struct SplitCase {
    const char* line;
    std::vector<std::string> arguments;
};

void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.line; }

class CommandLineSplit : public testing::TestWithParam<SplitCase> {};

TEST_P(CommandLineSplit, GivesTheComposedArguments) {
    std::vector<std::string> arguments;
    ASSERT_EQ(splitCommandLine(GetParam().line, &arguments), 0);
    EXPECT_EQ(arguments, GetParam().arguments);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandLineSplit,
    testing::Values(
        // The encoder's line: two blanks in a row separate no empty argument; a codec
        // name with its own options splits into them.
        SplitCase{"\"/App/cv.dat\" -i \"/In/song.wma\"  -vn -y -acodec libmp3lame -ab 128K "
                  "\"/In/song.mp3\"",
                  {"/App/cv.dat", "-i", "/In/song.wma", "-vn", "-y", "-acodec", "libmp3lame",
                   "-ab", "128K", "/In/song.mp3"}},
        SplitCase{"\"/my music/a b.wav\" -vcodec dvvideo -target pal-dv",
                  {"/my music/a b.wav", "-vcodec", "dvvideo", "-target", "pal-dv"}},
        // Backslashes, apostrophes and dollars are nothing special.
        SplitCase{"\"C:\\In\\it's $HOME.mp3\" \\\\x",
                  {"C:\\In\\it's $HOME.mp3", "\\\\x"}},
        SplitCase{"p \"\" q", {"p", "", "q"}},
        SplitCase{"  \tp\t\"a\"\"b\"c  ", {"p", "abc"}}));

TEST(CommandLineSplitRefusal, UnclosedQuoteOrNothingIsRefused) {
    std::vector<std::string> arguments{"stale"};
    EXPECT_EQ(splitCommandLine("\"/App/cv.dat -i x", &arguments), -1);
    EXPECT_TRUE(arguments.empty());
    EXPECT_EQ(splitCommandLine("   ", &arguments), -1);
    EXPECT_EQ(splitCommandLine(nullptr, &arguments), -1);
}
} // namespace
