// What only Windows has: drive letters, backslashes, and a command line that reaches
// the program exactly as composed, to be split by the program's own runtime.
#include "child_process_fixture.h"
#include "path_split.h"

#include <gtest/gtest.h>

#include <string>

namespace {
TEST_F(ChildProcessTest, CommandLineArrivesExactlyAsComposedAndSplitsIntoItsArguments) {
    std::string received = m_temp.file("cmdline");
    std::string arguments = m_temp.file("args");
    std::string script =
        writeFile(m_temp.file("script"), "cmdline " + received + "\nargs " + arguments + "\n");
    std::string line = "\"" + fakeToolPath() +
                       "\" -i \"C:\\My Music\\a  b.wma\"  -vn -y -acodec libmp3lame \"\" "
                       "\"D:\\Out\\it's $x.mp3\" \"" +
                       script + "\"";
    ASSERT_EQ(startChild(line.c_str(), &m_child), 1);
    readToEnd();
    EXPECT_EQ(waitForEnd().code, 0);
    EXPECT_EQ(readFile(received), line);
    EXPECT_EQ(readFile(arguments), "-i\nC:\\My Music\\a  b.wma\n-vn\n-y\n-acodec\nlibmp3lame\n\n"
                                   "D:\\Out\\it's $x.mp3\n" +
                                       script + "\n");
}

struct DriveCase {
    const char* path;
    const char* drive;
    const char* folder;
    const char* baseName;
    const char* extension;
};

void PrintTo(const DriveCase& c, std::ostream* os) {
    *os << c.path;
}

class WindowsPathSplit : public testing::TestWithParam<DriveCase> {};

TEST_P(WindowsPathSplit, GivesDriveFolderBaseNameAndExtension) {
    char drive[8];
    char folder[260];
    char baseName[260];
    char extension[32];
    ASSERT_EQ(splitPath(GetParam().path, drive, sizeof drive, folder, sizeof folder, baseName,
                        sizeof baseName, extension, sizeof extension),
              0);
    EXPECT_STREQ(drive, GetParam().drive);
    EXPECT_STREQ(folder, GetParam().folder);
    EXPECT_STREQ(baseName, GetParam().baseName);
    EXPECT_STREQ(extension, GetParam().extension);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, WindowsPathSplit,
    testing::Values(DriveCase{"C:\\In\\song.wma", "C:", "\\In\\", "song", ".wma"},
                    DriveCase{"d:\\a.b\\c d/e.flac", "d:", "\\a.b\\c d/", "e", ".flac"},
                    DriveCase{"C:song.mp3", "C:", "", "song", ".mp3"},
                    DriveCase{"C:\\", "C:", "\\", "", ""},
                    DriveCase{"\\\\server\\share\\x.ogg", "", "\\\\server\\share\\", "x", ".ogg"},
                    DriveCase{"1:\\x.ogg", "", "1:\\", "x", ".ogg"}));
} // namespace
