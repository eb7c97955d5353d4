// What only POSIX has: a started program holds no descriptor but its three standard
// ones and has a session of its own, and a dangling symbolic link still takes its name.
#include "child_process_fixture.h"
#include "path_exists.h"

#include <gtest/gtest.h>

#include <sstream>
#include <unistd.h>

namespace {
TEST_F(ChildProcessTest, ProgramGetsOnlyItsThreeStandardDescriptorsAndItsOwnSession) {
    // A descriptor of ours without close-on-exec must still not reach the program.
    int stray = dup(1);
    ASSERT_GE(stray, 0);
    std::string fds = m_temp.file("fds");
    std::string session = m_temp.file("session");
    ASSERT_TRUE(start("fds " + fds + "\nsession " + session + "\n"));
    readToEnd();
    waitForEnd();
    close(stray);
    EXPECT_EQ(readFile(fds), "0\n1\n2\n");
    std::istringstream ids(readFile(session));
    long pid = 0;
    long sid = 0;
    ids >> pid >> sid;
    EXPECT_EQ(pid, m_child.processId);
    EXPECT_EQ(sid, pid);
}

TEST(PathExistsOnPosix, ADanglingLinkStillTakesItsName) {
    ScratchFolder temp;
    ASSERT_EQ(symlink("nowhere", temp.file("link").c_str()), 0);
    EXPECT_TRUE(pathExists(temp.file("link").c_str()));
}
} // namespace
