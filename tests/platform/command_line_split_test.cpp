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
        SplitCase{"\"C:\\In\\it's $HOME.mp3\" \\\\x", {"C:\\In\\it's $HOME.mp3", "\\\\x"}},
        SplitCase{"p \"\" q", {"p", "", "q"}}, SplitCase{"  \tp\t\"a\"\"b\"c  ", {"p", "abc"}},
        // Backslashes before a quote: half of them stay, an odd one makes it literal.
        SplitCase{"\"The 12\\\" Mix.flac\" a\\\\\"b c\" \"d\\\\\"",
                  {"The 12\" Mix.flac", "a\\b c", "d\\"}}));

// Composing is the exact inverse of splitting: every argument, quotes and backslashes
// and all, comes back as it went in, and an ordinary path is quoted as before.
TEST(CommandLineQuote, SplittingGivesBackWhatWasComposed) {
    struct Case {
        const char* argument;
        const char* quoted;
    } cases[] = {
        {"/In/a b.wav", "\"/In/a b.wav\""},
        {"", "\"\""},
        {"C:\\In\\song.mp3", "\"C:\\In\\song.mp3\""},
        {"/In/The 12\" Mix.flac", "\"/In/The 12\\\" Mix.flac\""},
        {"/In/back\\", "\"/In/back\\\\\""},
        {"/In/\\\"\\\\\"", "\"/In/\\\\\\\"\\\\\\\\\\\"\""},
    };
    for (const Case& c : cases) {
        if (!commandLineCanCarry(c.argument)) {
            continue; // Windows: a double quote is refused, below
        }
        SCOPED_TRACE(c.argument);
        char line[64] = "p ";
        ASSERT_EQ(appendQuotedArgument(line, sizeof line, c.argument), 0);
        EXPECT_EQ(std::string(line), std::string("p ") + c.quoted);
        std::vector<std::string> arguments;
        ASSERT_EQ(splitCommandLine(line, &arguments), 0);
        EXPECT_EQ(arguments, (std::vector<std::string>{"p", c.argument}));
    }
    // What does not fit leaves the line as it was.
    char line[8] = "p ";
    EXPECT_EQ(appendQuotedArgument(line, sizeof line, "abcd"), -1);
    EXPECT_STREQ(line, "p ");
#ifdef _WIN32
    EXPECT_EQ(appendQuotedArgument(line, sizeof line, "a\"b"), -1);
    EXPECT_STREQ(line, "p ");
#endif
}

TEST(CommandLineSplitRefusal, UnclosedQuoteOrNothingIsRefused) {
    std::vector<std::string> arguments{"stale"};
    EXPECT_EQ(splitCommandLine("\"/App/cv.dat -i x", &arguments), -1);
    EXPECT_TRUE(arguments.empty());
    EXPECT_EQ(splitCommandLine("   ", &arguments), -1);
    EXPECT_EQ(splitCommandLine(nullptr, &arguments), -1);
}
} // namespace
