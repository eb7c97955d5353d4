// Putting a finished file in place: never over another file unless asked to.
#include "file_rename.h"

#include "scratch_folder.h"

#include <gtest/gtest.h>

namespace {

TEST(FileRename, ATakenNameIsKeptUnlessReplacingIsMeant) {
    ScratchFolder folder;
    const std::string done = folder.write("done.tmp", "new");
    const std::string taken = folder.write("song.mp3", "precious");
    EXPECT_EQ(renameWithoutReplacing(done.c_str(), taken.c_str()), kRenameTargetExists);
    EXPECT_EQ(folder.read("song.mp3"), "precious");
    EXPECT_EQ(folder.read("done.tmp"), "new");
    EXPECT_EQ(renameWithoutReplacing(done.c_str(), folder.file("free.mp3").c_str()), kRenameDone);
    EXPECT_FALSE(folder.exists("done.tmp"));
    EXPECT_EQ(folder.read("free.mp3"), "new");
    EXPECT_EQ(renameReplacing(folder.file("free.mp3").c_str(), taken.c_str()), kRenameDone);
    EXPECT_EQ(folder.read("song.mp3"), "new");
    EXPECT_EQ(renameWithoutReplacing(folder.file("gone.tmp").c_str(), folder.file("x").c_str()),
              kRenameFailed);
}

} // namespace
