// Running one child program with its output on a pipe and stop requests passed on to it.
#pragma once

#include "child_process.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// When this process's standard input is a pipe (or a socket), as it is when the program
// drives us, the child gets a pipe of its own instead: every byte read here is passed on
// (so a stop request "q" still reaches it), and the end of that input means whoever
// started us is gone. Its standard output and standard error share one pipe, so their
// bytes arrive in the order it wrote them.
//
// The runner stops the child itself when its input ends or its output can no longer be
// passed on: "q" first, as a stop request would, so the file is closed properly; a child
// that has not ended after kStopGraceMs + kKillGraceMs is ended by force.
//
// POSIX: a terminal or /dev/null on standard input is inherited by the child. While a
// runner exists, SIGINT, SIGTERM and SIGHUP sent to this process are passed on to the
// child instead of ending this process: the child then finishes in its own way and its
// end is reported as usual. A signal the terminal sent to the whole process group reached
// the child already and is not repeated (a second one would make ffmpeg abandon its
// output). The forced end is SIGTERM after kStopGraceMs and SIGKILL kKillGraceMs later.
//
// Windows: the child always has an input pipe and no console (so a Ctrl+C never reaches
// it directly); a Ctrl+C or Ctrl+Break at our console is passed on as "q". The command
// line is composed from the arguments so that the child's C runtime splits it back into
// exactly them (an argument holding a double quote cannot be passed). The forced end is
// TerminateProcess.
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
    // output is drained, handing every chunk read to `onOutput`. Returns an empty text
    // with the child's end in `status`, or why it could not start.
    std::string run(const std::string& program, const std::vector<std::string>& arguments,
                    const OutputHandler& onOutput, ExitStatus& status);

private:
    struct State; // what the system's half keeps
    std::unique_ptr<State> m_state;
};
