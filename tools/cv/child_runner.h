// Running one child program with its output on a pipe and stop signals passed on to it.
#pragma once

#include <csignal>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// The child inherits this process's standard input, so that a stop request written there
// reaches it directly; its standard output and standard error share one pipe, so their
// bytes arrive in the order it wrote them. While a runner exists, SIGINT, SIGTERM and
// SIGHUP sent to this process are passed on to the child instead of ending this process:
// the child then finishes in its own way and its end is reported as usual. A signal the
// terminal sent to the whole process group reached the child already and is not repeated
// (a second one would make ffmpeg abandon its output).
class ChildRunner {
public:
    using OutputHandler = std::function<void(const char* data, std::size_t size)>;

    ChildRunner();
    ~ChildRunner();
    ChildRunner(const ChildRunner&) = delete;
    ChildRunner& operator=(const ChildRunner&) = delete;

    // Runs `program` with `arguments` (argument 0 included) until it has ended and its
    // output is drained, handing every chunk read to `onOutput`. Returns 0 with the
    // child's wait status in `waitStatus`, or the error number when it could not start.
    int run(const std::string& program, const std::vector<std::string>& arguments,
            const OutputHandler& onOutput, int& waitStatus);

private:
    void forwardPendingSignals();

    static constexpr int kForwarded[] = {SIGINT, SIGTERM, SIGHUP};
    struct sigaction m_previous[3] {};
    bool m_installed[3] {};
    pid_t m_child = -1;
};
