// Reading pb.dat's answers about a written file, and the line that asks.
#include "output_check.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

struct Answer {
    const char* name;
    const char* text;
    double length;
    long long samples;
    int sampleRate;
    long long errors;
    const char* firstError;
};

void PrintTo(const Answer& a, std::ostream* os) {
    *os << a.name;
}

class OutputCheckAnswer : public testing::TestWithParam<Answer> {};

TEST_P(OutputCheckAnswer, GivesOnlyValuesThatCanBeTrusted) {
    const Answer& a = GetParam();
    static OutputCheck check;
    beginOutputCheck(&check, "/Out/song.mp3", OutputCheckKind::Decode);
    readOutputCheckAnswer(a.text, &check);
    EXPECT_EQ(check.length, a.length);
    EXPECT_EQ(check.samples, a.samples);
    EXPECT_EQ(check.sampleRate, a.sampleRate);
    EXPECT_EQ(check.errors, a.errors);
    EXPECT_STREQ(check.firstError, a.firstError);
    EXPECT_EQ(decodedSeconds(check), a.samples < 0 ? -1.0 : double(a.samples) / a.sampleRate);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, OutputCheckAnswer,
    testing::Values(Answer{"Length", "length=219.640000\n", 219.64, -1, 0, -1, ""},
                    Answer{"NoLength", "length=N/A\n", -1, -1, 0, -1, ""},
                    Answer{"ZeroLength", "length=0.000000\n", 0, -1, 0, -1, ""},
                    Answer{"OddLengths", "length=-3\nlength=inf\n", -1, -1, 0, -1, ""},
                    Answer{"Decoded",
                           "samples=88200\r\nsample_rate=44100\r\nduration=2.000000\r\nerrors=1\r\n"
                           "first_error=Invalid data found when processing input\r\n",
                           -1, 88200, 44100, 1, "Invalid data found when processing input"},
                    // A key counts only at the start of a line; a decode without its rate or its
                    // error count is none.
                    Answer{"KeysInsideLines", "x length=5\ntitle=samples=9\n", -1, -1, 0, -1, ""},
                    Answer{"NoRate", "samples=88200\nerrors=0\n", -1, -1, 0, -1, ""},
                    Answer{"NotANumber", "samples=12abc\nsample_rate=44100\nerrors=0\n", -1, -1, 0,
                           -1, ""},
                    Answer{"Nothing", "", -1, -1, 0, -1, ""}),
    [](const testing::TestParamInfo<Answer>& row) { return std::string(row.param.name); });

TEST(OutputCheckLine, AsksForTheKindOfCheckAndRefusesWhatCannotBeQuoted) {
    static OutputCheck check;
    ToolProcess tool{};
    std::snprintf(tool.programPath, sizeof tool.programPath, "/App/pb.dat");
    tool.context = &check;
    beginOutputCheck(&check, "/Out/my song.ogg", OutputCheckKind::Length);
    ASSERT_EQ(outputCheckPrepare(&tool), 0);
    EXPECT_STREQ(tool.commandLine, "\"/App/pb.dat\" -show_length \"/Out/my song.ogg\"");
    beginOutputCheck(&check, "/Out/my song.ogg", OutputCheckKind::Decode);
    ASSERT_EQ(outputCheckPrepare(&tool), 0);
    EXPECT_STREQ(tool.commandLine, "\"/App/pb.dat\" -decode_audio \"/Out/my song.ogg\"");
    beginOutputCheck(&check, "/Out/my song.ogg", OutputCheckKind::Length, true);
    ASSERT_EQ(outputCheckPrepare(&tool), 0);
    EXPECT_STREQ(tool.commandLine, "\"/App/pb.dat\" -show_length -on_request \"/Out/my song.ogg\"");
    beginOutputCheck(&check, "/Out/\"quoted\".ogg", OutputCheckKind::Length);
    EXPECT_NE(outputCheckPrepare(&tool), 0);
}

} // namespace
