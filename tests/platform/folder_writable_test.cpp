// The writability test of an output folder: true only where a file can be created, and
// the folder left exactly as it was.
#include "folder_writable.h"
#include "path_limits.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

namespace {

std::set<std::string> entries(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

TEST(FolderWritable, AWritableFolderIsLeftAsItWas) {
    ScratchFolder folder;
    folder.write("song.mp3", "user data");
    folder.write(".nemarro-write-test", "user data");
    const std::set<std::string> before = entries(folder.path());
    EXPECT_TRUE(folderIsWritable(folder.path().c_str()));
    EXPECT_TRUE(folderIsWritable(folder.file("").c_str())); // with its trailing separator
    EXPECT_EQ(entries(folder.path()), before);
    EXPECT_EQ(folder.read(".nemarro-write-test"), "user data");
#ifndef _WIN32
    // As long as a path may be: no room is left for the test file's name behind it.
    const std::string deep = makeDeepFolder(folder.path(), kPathSize - 1, "d");
    ASSERT_FALSE(deep.empty());
    EXPECT_TRUE(folderIsWritable(deep.c_str()));
    EXPECT_TRUE(std::filesystem::is_empty(deep));
#endif
}

TEST(FolderWritable, MissingFoldersAndFilesAreNotWritable) {
    ScratchFolder folder;
    EXPECT_FALSE(folderIsWritable(folder.file("missing").c_str()));
    folder.write("plain", "x");
    EXPECT_FALSE(folderIsWritable(folder.file("plain").c_str()));
    EXPECT_FALSE(folderIsWritable(""));
#ifndef _WIN32
    EXPECT_FALSE(folderIsWritable("/proc"));
#endif
}

} // namespace
