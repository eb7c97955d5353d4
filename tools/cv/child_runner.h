// Running one child program with its output on a pipe and stop signals passed on to it.
#pragma once

#include <csignal>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// When this process's standard input is a pipe (or a socket), as it is when the program
// drives us, the child gets a pipe of its own instead: every byte read here is passed on
// (so a stop request "q" still reaches it), and the end of that input means whoever
// started us is gone. Otherwise (a terminal, /dev/null) the child inherits standard input.
// Its standard output and standard error share one pipe, so their bytes arrive in the
// order it wrote them. While a runner exists, SIGINT, SIGTERM and SIGHUP sent to this
// process are passed on to the child instead of ending this process: the child then
// finishes in its own way and its end is reported as usual. A signal the terminal sent to
// the whole process group reached the child already and is not repeated (a second one
// would make ffmpeg abandon its output).
//
// The runner stops the child itself when its input ends or its output can no longer be
// passed on: "q" first, as a stop request would, so the file is closed properly; a child
// that has not ended after kStopGraceMs gets SIGTERM, and after kKillGraceMs more SIGKILL.
class ChildRunner {
public:
    // Returns false when the chunk could not be passed on (our reader is gone).
    using OutputHandler = std::function<bool(const char* data, std::size_t size)>;

    static constexpr int kStopGraceMs = 1300;
    static constexpr int kKillGraceMs = 400;

    ChildRunner();
    ~ChildRunner();
    ChildRunner(const ChildRunner&) = delete;
    ChildRunner& operator=(const ChildRunner&) = delete;

    // Runs `program` with `arguments` (argument 0 included) until it has ended and its
    // output is drained, handing every chunk read to `onOutput`. Returns 0 with the
    // child's wait status in `waitStatus`, or the error number when it could not start.
    int run(const std::string& program, const std::vector<std::string>& arguments,
            const OutputHandler& onOutput, int& waitStatus);

    // True when the runner stopped the child because its input ended or its output broke.
    bool stoppedOnItsOwn() const { return m_stopStep > 0; }

private:
    void forwardPendingSignals();
    void passInputOn();
    void stopChild();
    int stopTimeoutMs() const;

    static constexpr int kForwarded[] = {SIGINT, SIGTERM, SIGHUP};
    struct sigaction m_previous[3] {};
    bool m_installed[3] {};
    pid_t m_child = -1;
    bool m_watchInput = false;
    int m_childInput = -1; // write end of the child's standard input, when watched
    // 0: running; 1: "q" sent; 2: SIGTERM sent; 3: SIGKILL sent.
    int m_stopStep = 0;
    long long m_nextStepAtMs = 0;
};
