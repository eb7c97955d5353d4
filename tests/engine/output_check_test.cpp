// The line that asks pb.dat about a written file. Its answers are read in the verdict's
// table (conversion_queue_test.cpp) and by the probe's fuzz target.
#include "output_check.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

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
    beginOutputCheck(&check, "/Out/\"quoted\".ogg", OutputCheckKind::Length);
    EXPECT_NE(outputCheckPrepare(&tool), 0);
}

} // namespace
