// A program under test run as a child: stdin on a pipe, stdout and stderr joined on another.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

class ChildProgram {
public:
    ChildProgram() = default;
    ~ChildProgram();
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;

    // Starts `argv[0]` (a full path) with `argv`; `environment` entries ("NAME=value")
    // replace or add to the inherited ones. Returns false when it could not start.
    bool start(const std::vector<std::string>& argv,
               const std::vector<std::string>& environment = {});
    void writeInput(const std::string& text);
    void sendSignal(int signal);
    // Lets go of the child's standard input and/or of its output, as a parent that was
    // killed would; output not yet read is lost.
    void abandon(bool input, bool output);
    // Waits up to `seconds` for the end without reading: the status as finish gives it,
    // or -1 while it still runs.
    int waitForEnd(double seconds);
    // Collects output until `text` appears in it or `seconds` pass; true when it appeared.
    bool waitForOutput(const std::string& text, double seconds);
    // Collects the rest of the output and waits for the end: the exit status, or 128 + the
    // signal that ended it.
    int finish();

    const std::string& output() const { return m_output; }

private:
    bool readSome(int timeoutMs);

    pid_t m_pid = -1;
    int m_input = -1;
    int m_outputFd = -1;
    std::string m_output;
};

// Runs a program to its end with nothing on its input; its joined output lands in `output`.
int runProgram(const std::vector<std::string>& argv, std::string& output,
               const std::vector<std::string>& environment = {});

// Seconds on a monotonic clock.
double secondsNow();
