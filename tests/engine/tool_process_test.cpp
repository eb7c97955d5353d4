// Running programs through ToolProcess, against the scriptable fake: draining, the end,
// the stop request, failures to start and how a run ended.
#include "tool_process.h"

#include "fake_support.h"
#include "path_separator.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

namespace {
using Clock = std::chrono::steady_clock;

struct Collected {
    std::string output;
    std::size_t largestChunk = 0;
    int chunks = 0;
};

void collect(ToolProcess* tool) {
    auto* collected = static_cast<Collected*>(tool->context);
    std::size_t length = std::strlen(tool->chunk);
    collected->output.append(tool->chunk, length);
    collected->largestChunk = std::max(collected->largestChunk, length);
    ++collected->chunks;
}

const ToolHandlers kCollectingHandlers = {nullptr, collect, nullptr};

class ToolProcessTest : public testing::Test {
protected:
    ToolProcessTest() {
        m_tool.context = &m_collected;
        m_tool.handlers = &kCollectingHandlers;
    }
    ~ToolProcessTest() override { clearToolRun(&m_tool); }

    bool start(const std::string& script) {
        std::string line = fakeCommandLine(writeFile(m_temp.file("script"), script));
        std::snprintf(m_tool.commandLine, sizeof m_tool.commandLine, "%s", line.c_str());
        return startTool(&m_tool) == 1;
    }

    // Polls every `periodMs` until the end is reported; the time it took.
    std::chrono::milliseconds pollToEnd(int periodMs = 5) {
        Clock::time_point begin = Clock::now();
        while (pollTool(&m_tool) == 0) {
            if (Clock::now() - begin > std::chrono::seconds(10)) {
                ADD_FAILURE() << "the end was never reported";
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(periodMs));
        }
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - begin);
    }

    ScratchFolder m_temp;
    Collected m_collected;
    ToolProcess m_tool{};
};

TEST_F(ToolProcessTest, IdleToolReportsItsEndAtOnceAndTakesNoQuit) {
    EXPECT_EQ(pollTool(&m_tool), 1);
    EXPECT_EQ(sendQuit(&m_tool), 0);
}

TEST_F(ToolProcessTest, OutputQueuedBeforeTheEndIsDrainedFirst) {
    // 30 000 bytes fit the pipe; the program has ended long before the first poll.
    ASSERT_TRUE(start("repeat 2999 time=1.0\\r\nout last\\n\nexit 0\n"));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    pollToEnd();
    EXPECT_EQ(m_collected.output.size(), 2999u * 9u + 5u);
    EXPECT_EQ(m_collected.output.substr(m_collected.output.size() - 5), "last\n");
    EXPECT_LE(m_collected.largestChunk, 511u);
    EXPECT_EQ(m_tool.process, kNoProcess);
    EXPECT_EQ(m_tool.outputRead, kNoPipe);
    EXPECT_EQ(m_tool.inputWrite, kNoPipe);
    EXPECT_TRUE(toolExitedCleanly(&m_tool));
}

TEST_F(ToolProcessTest, OutputLargerThanThePipeArrivesWholeInOrder) {
    ASSERT_TRUE(start("repeat 20000 0123456789\nout end\n"));
    pollToEnd(1);
    EXPECT_EQ(m_collected.output.size(), 200003u);
    EXPECT_EQ(m_collected.output.find("90123"), 9u);
    EXPECT_EQ(m_collected.output.substr(199998), "89end");
    EXPECT_LE(m_collected.largestChunk, 511u);
}

TEST_F(ToolProcessTest, ChunksArriveAsTheProgramWritesThem) {
    ASSERT_TRUE(start("out a\nsleep 300\nout b\n"));
    Clock::time_point begin = Clock::now();
    int polled = 0;
    while (m_collected.output.empty() && Clock::now() - begin < std::chrono::seconds(5)) {
        polled = pollTool(&m_tool);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(polled, 0);
    EXPECT_EQ(m_collected.output, "a");
    pollToEnd();
    EXPECT_EQ(m_collected.output, "ab");
}

TEST_F(ToolProcessTest, PollNeverBlocksOnARunningProgram) {
    ASSERT_TRUE(start("sleep 1000\n"));
    Clock::time_point begin = Clock::now();
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(pollTool(&m_tool), 0);
    }
    EXPECT_LT(Clock::now() - begin, std::chrono::milliseconds(100));
}

TEST_F(ToolProcessTest, SendQuitWritesExactlyQAndALineFeed) {
    std::string input = m_temp.file("input");
    ASSERT_TRUE(start("record " + input + " 400\n"));
    EXPECT_EQ(sendQuit(&m_tool), 1);
    pollToEnd();
    EXPECT_EQ(readFile(input), "q\n");
}

TEST_F(ToolProcessTest, ProgramThatObeysQuitEndsSoon) {
    ASSERT_TRUE(start("out time=1.5\\r\nwaitquit 5000 0\nexit 7\n"));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(pollTool(&m_tool), 0);
    ASSERT_EQ(sendQuit(&m_tool), 1);
    EXPECT_LT(pollToEnd().count(), 1000);
    EXPECT_EQ(m_tool.exitStatus, 0);
}

TEST_F(ToolProcessTest, ProgramThatIgnoresQuitIsNeverKilled) {
    ASSERT_TRUE(start("sleep 400\nout done\n"));
    ASSERT_EQ(sendQuit(&m_tool), 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(pollTool(&m_tool), 0);
    pollToEnd();
    EXPECT_EQ(m_collected.output, "done");
    EXPECT_TRUE(toolExitedCleanly(&m_tool));
}

TEST_F(ToolProcessTest, ExitStatusAndCrashAreKept) {
    ASSERT_TRUE(start("out time=3\\n\nexit 3\n"));
    pollToEnd();
    EXPECT_EQ(m_tool.exitStatus, 3);
    EXPECT_FALSE(m_tool.endedBySignal);
    EXPECT_FALSE(toolExitedCleanly(&m_tool));

    m_collected = Collected{};
    ASSERT_TRUE(start("out time=1\\n\ncrash\n"));
    pollToEnd();
    EXPECT_EQ(m_collected.output, "time=1\n");
    EXPECT_EQ(m_tool.endedBySignal, kFakeCrashBySignal);
    EXPECT_EQ(m_tool.exitStatus, kFakeCrashCode);
    EXPECT_FALSE(toolExitedCleanly(&m_tool));
    // Clearing for the next run keeps the verdict; the next start resets it.
    clearToolRun(&m_tool);
    EXPECT_EQ(m_tool.exitStatus, kFakeCrashCode);
}

TEST_F(ToolProcessTest, ProgramThatClosesItsOutputBeforeExitingStillGivesItsStatus) {
    ASSERT_TRUE(start("out x\ncloseoutput\nsleep 10\nexit 4\n"));
    pollToEnd();
    EXPECT_EQ(m_collected.output, "x");
    EXPECT_EQ(m_tool.exitStatus, 4);
}

TEST_F(ToolProcessTest, ProgramThatClosesItsOutputAndLivesOnEndsTheRunWithStatusUnknown) {
    ASSERT_TRUE(start("closeoutput\nsleep 1500\n"));
    std::chrono::milliseconds took = pollToEnd();
    EXPECT_LT(took.count(), 1000);
    EXPECT_EQ(m_tool.exitStatus, kExitUnknown);
    EXPECT_FALSE(toolExitedCleanly(&m_tool));
}

TEST(ToolProcessStart, MissingProgramStartsNothingAndLeaksNoDescriptor) {
    int before = openDescriptorCount();
    ToolProcess tool{};
    std::snprintf(tool.commandLine, sizeof tool.commandLine,
                  "\"/nonexistent/cv.dat\" -i \"/In/song.wma\"  -vn -y \"/In/song.mp3\"");
    EXPECT_EQ(startTool(&tool), 0);
    EXPECT_EQ(tool.process, kNoProcess);
    EXPECT_EQ(tool.outputRead, kNoPipe);
    EXPECT_EQ(tool.inputWrite, kNoPipe);
    EXPECT_EQ(pollTool(&tool), 1);
    EXPECT_EQ(openDescriptorCount(), before);
}

TEST(ToolProgram, ComposesFolderAndNameAndRefusesWhatDoesNotFit) {
    ToolProcess tool{};
    ASSERT_EQ(setToolProgram(&tool, "/App", "cv.dat"), 0);
    EXPECT_STREQ(tool.programPath, "/App" NEMARRO_PATH_SEPARATOR "cv.dat");
    // The folder, the separator and the name fill every byte but the terminator.
    std::string longFolder(kToolPathSize - 8, 'f');
    ASSERT_EQ(setToolProgram(&tool, longFolder.c_str(), "cv.dat"), 0);
    longFolder += 'f';
    EXPECT_EQ(setToolProgram(&tool, longFolder.c_str(), "cv.dat"), -1);
    EXPECT_STREQ(tool.programPath, "");
}
} // namespace
