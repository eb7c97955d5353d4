// A started fake program, its output read to the end and its end awaited, for the tests
// of child processes on every system.
#pragma once

#include "child_process.h"
#include "pipe_io.h"

#include "fake_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

class ChildProcessTest : public testing::Test {
protected:
    ~ChildProcessTest() override {
        closePipe(&m_child.outputRead);
        closePipe(&m_child.inputWrite);
        closeChild(&m_child.process);
    }

    // Starts the fake with `script`; the script path is the fake's last argument.
    bool start(const std::string& script) {
        std::string line = fakeCommandLine(writeFile(m_temp.file("script"), script));
        return startChild(line.c_str(), &m_child) == 1;
    }

    // Reads until the pipe breaks (the program and anything holding its output ended).
    std::string readToEnd() {
        std::string output;
        for (int spins = 0; spins < 20000; ++spins) {
            int waiting = 0;
            PipeResult result = pipeBytesWaiting(m_child.outputRead, &waiting);
            if (result == PipeResult::Broken) {
                return output;
            }
            if (result == PipeResult::Ok && waiting == 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                continue;
            }
            char buffer[512];
            int got = 0;
            EXPECT_EQ(readPipe(m_child.outputRead, buffer, sizeof buffer, &got), PipeResult::Ok);
            output.append(buffer, static_cast<std::size_t>(got));
        }
        ADD_FAILURE() << "the pipe never broke";
        return output;
    }

    ExitStatus waitForEnd() {
        EXPECT_EQ(waitChild(m_child.process, 5000), 1);
        return childExitStatus(m_child.process);
    }

    ScratchFolder m_temp;
    StartedChild m_child{kNoProcess, 0, kNoPipe, kNoPipe};
};
