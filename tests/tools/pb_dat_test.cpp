// pb.dat: exactly what ffprobe says and returns, or one clear line when there is no ffprobe.
#include "child_program.h"
#include "program_lookup.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

namespace {

TEST(PbDat, PassesFfprobesOutputAndStatusThroughUnchanged) {
    ScratchFolder folder;
    const std::string ffmpeg = findProgramOnPath("ffmpeg");
    const std::string ffprobe = findProgramOnPath("ffprobe");
    ASSERT_FALSE(ffprobe.empty()) << "this test needs ffprobe";
    std::string output;
    const std::string media = folder.file("tone.wav");
    ASSERT_EQ(runProgram({ffmpeg, "-v", "error", "-f", "lavfi", "-i", "sine=duration=1", "-y", media},
                         output),
              0);
    const std::string junk = folder.write("junk.wav", "not a sound");
    for (const std::string& path : {media, junk, folder.file("missing.wav"), folder.path()}) {
        std::string direct, through;
        const int directStatus =
            runProgram({ffprobe, "-show_format", "-show_streams", path}, direct);
        EXPECT_EQ(runProgram({PB_DAT_PATH, "-show_format", "-show_streams", path}, through),
                  directStatus)
            << path;
        EXPECT_EQ(through, direct) << path;
    }
}

TEST(PbDat, WithoutFfprobeSaysSoInOneLine) {
    ScratchFolder folder;
    std::string output;
    EXPECT_EQ(runProgram({PB_DAT_PATH, "-show_format", "x.wav"}, output, {"PATH=" + folder.path()}),
              1);
    EXPECT_EQ(output, "pb.dat: ffprobe was not found on PATH; install ffmpeg to probe files\n");
}

} // namespace
