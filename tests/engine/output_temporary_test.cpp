// Temporary output names: short, hidden, with the output's extension; and only a dead
// process's are cleared.
#include "output_temporary.h"

#include "path_limits.h"
#include "process_identity.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(OutputTemporary, HiddenBesideTheOutputWithItsExtensionAndOnlyADeadRunsAreCleared) {
    char first[kPathSize];
    char second[kPathSize];
    const std::string finalPath = "/M/a.b/" + std::string(200, 'n') + ".mp3";
    ASSERT_EQ(temporaryOutputPath(finalPath.c_str(), first, sizeof first), 0);
    ASSERT_EQ(temporaryOutputPath("/M/a.b/noextension", second, sizeof second), 0);
    const std::string mine = ".nemarro-part-" + std::to_string(currentProcessId()) + "-";
    EXPECT_EQ(std::string(first).rfind("/M/a.b/" + mine, 0), 0u) << first;
    EXPECT_EQ(std::string(first).substr(std::string(first).size() - 4), ".mp3");
    EXPECT_EQ(std::string(second).find(".b"), 4u) << second; // the folder's dot is no extension
    EXPECT_STRNE(first + 7 + mine.size(), second + 7 + mine.size()); // each its own number
    char small[16];
    EXPECT_EQ(temporaryOutputPath(finalPath.c_str(), small, sizeof small), -1);

    ScratchFolder folder;
    // No process has an id this high; process 1 always runs.
    folder.write(".nemarro-part-2147483646-0.mp3", "killed run");
    folder.write(".nemarro-part-1-0.mp3", "running");
    folder.write(mine + "3.mp3", "ours");
    folder.write(".nemarro-part-x.mp3", "no id");
    folder.write("song.mp3", "whole");
    EXPECT_EQ(removeStaleTemporaries(folder.path().c_str()), 1);
    EXPECT_FALSE(folder.exists(".nemarro-part-2147483646-0.mp3"));
    for (const std::string& kept : {std::string(".nemarro-part-1-0.mp3"), mine + "3.mp3",
                                    std::string(".nemarro-part-x.mp3"), std::string("song.mp3")})
        EXPECT_TRUE(folder.exists(kept)) << kept;
}

} // namespace
