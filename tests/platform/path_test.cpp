// The path splitter, path existence and the executable's folder.
#include "executable_folder.h"
#include "path_exists.h"
#include "path_split.h"

#include "fake_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {
struct SplitCase {
    const char* path;
    const char* folder;
    const char* baseName;
    const char* extension;
};

void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.path; }

class PathSplit : public testing::TestWithParam<SplitCase> {};

TEST_P(PathSplit, GivesFolderBaseNameAndExtension) {
    char drive[32] = "x";
    char folder[260];
    char baseName[260];
    char extension[32];
    ASSERT_EQ(splitPath(GetParam().path, drive, sizeof drive, folder, sizeof folder, baseName,
                        sizeof baseName, extension, sizeof extension),
              0);
    EXPECT_STREQ(drive, "");
    EXPECT_STREQ(folder, GetParam().folder);
    EXPECT_STREQ(baseName, GetParam().baseName);
    EXPECT_STREQ(extension, GetParam().extension);
}

INSTANTIATE_TEST_SUITE_P(Paths, PathSplit,
                         testing::Values(SplitCase{"/In/song.wma", "/In/", "song", ".wma"},
                                         SplitCase{"/a.b/c.d.flac", "/a.b/", "c.d", ".flac"},
                                         SplitCase{"/a.b/noext", "/a.b/", "noext", ""},
                                         SplitCase{"song.mp3", "", "song", ".mp3"},
                                         SplitCase{"/x/.hidden", "/x/", "", ".hidden"},
                                         SplitCase{"/dir/", "/dir/", "", ""}));

TEST(PathSplitRefusal, APartThatDoesNotFitEmptiesEveryPart) {
    std::string longName(40, 'n');
    std::string path = "/In/" + longName + ".mp3";
    char folder[260] = "old";
    char baseName[32] = "old";
    EXPECT_EQ(splitPath(path.c_str(), nullptr, 0, folder, sizeof folder, baseName,
                        sizeof baseName, nullptr, 0),
              -1);
    EXPECT_STREQ(folder, "");
    EXPECT_STREQ(baseName, "");
}

TEST(PathExists, SeesFilesAndFoldersButNotMissingNames) {
    ScratchFolder temp;
    EXPECT_TRUE(pathExists(temp.path().c_str()));
    EXPECT_FALSE(pathExists(temp.file("missing").c_str()));
    EXPECT_TRUE(pathExists(writeFile(temp.file("song.mp3"), "x").c_str()));
    EXPECT_FALSE(pathExists(""));
}

TEST(ExecutableFolder, IsTheFolderOfThisTestProgram) {
    char folder[4096];
    ASSERT_EQ(executableFolder(folder, sizeof folder), 0);
    EXPECT_TRUE(std::filesystem::equivalent(folder, NEMARRO_TEST_BINARY_DIR)) << folder;
    char tiny[4] = "old";
    EXPECT_EQ(executableFolder(tiny, sizeof tiny), -1);
    EXPECT_STREQ(tiny, "");
}
} // namespace
