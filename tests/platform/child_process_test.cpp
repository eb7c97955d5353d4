// Starting programs, their pipes and how they end, against the scriptable fake.
#include "child_process_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {
TEST_F(ChildProcessTest, StdoutAndStderrArriveOnOnePipeInOrder) {
    ASSERT_TRUE(start("out one\\n\nsleep 20\nerr two\\n\nsleep 20\nout three\\r\n"));
    EXPECT_GT(m_child.processId, 0);
    EXPECT_EQ(readToEnd(), "one\ntwo\nthree\r");
    ExitStatus status = waitForEnd();
    EXPECT_EQ(status.code, 0);
    EXPECT_FALSE(status.bySignal);
}

TEST_F(ChildProcessTest, ArgumentsArriveAsComposedEvenFromAProgramPathWithBlanks) {
    // A copy of the fake in a folder whose name has blanks and an apostrophe, named like
    // the tools (on Windows too a program need not end in .exe).
    std::filesystem::create_directory(m_temp.file("my tools'"));
    std::string program = m_temp.file("my tools'/fake tool.dat");
    std::filesystem::copy_file(fakeToolPath(), program);
    std::string script = writeFile(m_temp.file("args script"), "args " + m_temp.file("args") + "\n");
    std::string line = "\"" + program + "\" -i \"/In/a  b.wav\"  -vn -y -acodec x -ac 5.1 \"\" \"" +
                       script + "\"";
    ASSERT_EQ(startChild(line.c_str(), &m_child), 1);
    readToEnd();
    EXPECT_EQ(waitForEnd().code, 0);
    EXPECT_EQ(readFile(m_temp.file("args")),
              "-i\n/In/a  b.wav\n-vn\n-y\n-acodec\nx\n-ac\n5.1\n\n" + script + "\n");
}

TEST_F(ChildProcessTest, ExitCodeAndSignalAreKept) {
    ASSERT_TRUE(start("exit 3\n"));
    ExitStatus exited = waitForEnd();
    EXPECT_EQ(exited.code, 3);
    EXPECT_FALSE(exited.bySignal);
    // Asking again gives the same answer: the program was collected once.
    EXPECT_EQ(waitChild(m_child.process, 0), 1);
    EXPECT_EQ(childExitStatus(m_child.process).code, 3);

    closePipe(&m_child.outputRead);
    closePipe(&m_child.inputWrite);
    closeChild(&m_child.process);
    ASSERT_TRUE(start("crash\n"));
    ExitStatus crashed = waitForEnd();
    EXPECT_EQ(crashed.bySignal, kFakeCrashBySignal);
    EXPECT_EQ(crashed.code, kFakeCrashCode);
}

TEST_F(ChildProcessTest, WaitReturnsWhileTheProgramRuns) {
    ASSERT_TRUE(start("sleep 300\n"));
    EXPECT_EQ(waitChild(m_child.process, 1), 0);
    EXPECT_EQ(childExitStatus(m_child.process).code, -1);
}

TEST_F(ChildProcessTest, WritingToAProgramThatHasEndedIsAnErrorNotTheEndOfUs) {
    ASSERT_TRUE(start("exit 0\n"));
    readToEnd();
    waitForEnd();
    int written = 0;
    EXPECT_EQ(writePipe(m_child.inputWrite, "q\n", 2, &written), PipeResult::Broken);
    EXPECT_EQ(written, 0);
}

TEST_F(ChildProcessTest, WritingToAFullPipeDoesNotBlock) {
    ASSERT_TRUE(start("sleep 2000\n"));
    std::string block(4096, 'x');
    PipeResult result = PipeResult::Ok;
    int written = 1;
    for (int i = 0; i < 1000 && result == PipeResult::Ok && written > 0; ++i) {
        result = writePipe(m_child.inputWrite, block.data(), static_cast<int>(block.size()), &written);
    }
    EXPECT_EQ(result, PipeResult::Failed);
}

TEST(ChildProcessStart, MissingProgramOrBadLineStartsNothingAndLeaksNothing) {
    int before = openDescriptorCount();
    const char* lines[] = {"\"/nonexistent/cv.dat\" -i \"x\"", "\"unclosed", "", "\"\" x"};
    for (const char* line : lines) {
        StartedChild child{};
        EXPECT_EQ(startChild(line, &child), 0) << line;
        EXPECT_EQ(child.process, kNoProcess);
        EXPECT_EQ(child.outputRead, kNoPipe);
        EXPECT_EQ(child.inputWrite, kNoPipe);
    }
    EXPECT_EQ(openDescriptorCount(), before);
}
} // namespace
