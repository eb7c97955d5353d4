// Programs started with posix_spawn: stdin on one pipe, stdout+stderr on another, the
// child in its own session with default signals and no other descriptor. A program is
// collected (waitpid) exactly once; its exit status is kept in its record.
#include "child_process.h"

#include "broken_pipe_signal.h"
#include "command_line_split.h"
#include "pipe_io.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

struct PosixProcess {
    pid_t pid;
    bool ended;
    bool statusKnown;
    int waitStatus;
};

namespace {
// One non-blocking look at the program; true once it has ended.
bool collect(PosixProcess* record) {
    if (record->ended) {
        return true;
    }
    int status = 0;
    pid_t result = 0;
    do {
        result = waitpid(record->pid, &status, WNOHANG);
    } while (result < 0 && errno == EINTR);
    if (result == record->pid) {
        record->ended = true;
        record->statusKnown = true;
        record->waitStatus = status;
    } else if (result < 0) {
        // ECHILD: someone else collected it (or SIGCHLD is ignored); it is gone.
        record->ended = true;
    }
    return record->ended;
}

void closePipePair(int ends[2]) {
    closePipe(&ends[0]);
    closePipe(&ends[1]);
}

void setNonBlocking(int fd) {
    int flags = fcntl(fd, F_GETFL);
    if (flags >= 0) {
        fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    }
}

// Spawns with the child's ends on 0, 1 and 2. Returns 0 or an errno value.
int spawn(std::vector<std::string>& arguments, int stdinEnd, int outputEnd, pid_t* pid) {
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    if (posix_spawn_file_actions_init(&actions) != 0) {
        return ENOMEM;
    }
    if (posix_spawnattr_init(&attributes) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return ENOMEM;
    }
    posix_spawn_file_actions_adddup2(&actions, stdinEnd, 0);
    posix_spawn_file_actions_adddup2(&actions, outputEnd, 1);
    posix_spawn_file_actions_adddup2(&actions, outputEnd, 2);
    // Whatever else this process holds open, even without close-on-exec, stays here.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);

    // Our own SIGPIPE-ignore and any blocked signals must not reach the program.
    sigset_t noSignals;
    sigemptyset(&noSignals);
    sigset_t defaultSignals;
    sigemptyset(&defaultSignals);
    sigaddset(&defaultSignals, SIGPIPE);
    sigaddset(&defaultSignals, SIGINT);
    sigaddset(&defaultSignals, SIGTERM);
    sigaddset(&defaultSignals, SIGCHLD);
    posix_spawnattr_setsigmask(&attributes, &noSignals);
    posix_spawnattr_setsigdefault(&attributes, &defaultSignals);
    posix_spawnattr_setflags(&attributes, static_cast<short>(POSIX_SPAWN_SETSID |
                                                             POSIX_SPAWN_SETSIGMASK |
                                                             POSIX_SPAWN_SETSIGDEF));

    int error = posix_spawn(pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return error;
}
} // namespace

int startChild(const char* commandLine, StartedChild* child) {
    std::vector<std::string> arguments;
    if (splitCommandLine(commandLine, &arguments) != 0) {
        *child = StartedChild{kNoProcess, 0, kNoPipe, kNoPipe};
        return 0;
    }
    return startProgram(arguments, child) == 0 ? 1 : 0;
}

int startProgram(const std::vector<std::string>& argumentList, StartedChild* child) {
    *child = StartedChild{kNoProcess, 0, kNoPipe, kNoPipe};
    ignoreBrokenPipeSignal();
    if (argumentList.empty() || argumentList[0].empty()) {
        return EINVAL;
    }
    std::vector<std::string> arguments = argumentList;
    int outputPipe[2] = {kNoPipe, kNoPipe};
    int inputPipe[2] = {kNoPipe, kNoPipe};
    // Close-on-exec from birth, so a program started meanwhile by another thread never
    // inherits them; the dup2 onto 0, 1 and 2 clears the flag for this child only.
    if (pipe2(outputPipe, O_CLOEXEC) != 0) {
        return errno;
    }
    if (pipe2(inputPipe, O_CLOEXEC) != 0) {
        const int error = errno;
        closePipePair(outputPipe);
        return error;
    }

    pid_t pid = 0;
    int error = spawn(arguments, inputPipe[0], outputPipe[1], &pid);
    // This side's copies of the program's ends go in every case, so the output pipe
    // breaks when the program (and whatever it started) has ended.
    closePipe(&inputPipe[0]);
    closePipe(&outputPipe[1]);
    if (error != 0) {
        closePipe(&outputPipe[0]);
        closePipe(&inputPipe[1]);
        return error;
    }
    setNonBlocking(outputPipe[0]);
    setNonBlocking(inputPipe[1]);

    child->process = new PosixProcess{pid, false, false, 0};
    child->processId = static_cast<int32_t>(pid);
    child->outputRead = outputPipe[0];
    child->inputWrite = inputPipe[1];
    return 0;
}

std::string startErrorText(int error) { return std::strerror(error); }

void forceChildEnd(StartedChild* child, bool hard) {
    if (child->process != kNoProcess && !collect(child->process)) {
        kill(child->processId, hard ? SIGKILL : SIGTERM);
    }
}

int waitChild(ProcessHandle process, int milliseconds) {
    if (process == kNoProcess) {
        return 1;
    }
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        if (collect(process)) {
            return 1;
        }
        Clock::time_point now = Clock::now();
        if (now >= deadline) {
            return 0;
        }
        std::this_thread::sleep_for(
            std::min<Clock::duration>(deadline - now, std::chrono::milliseconds(1)));
    }
}

ExitStatus childExitStatus(ProcessHandle process) {
    if (process == kNoProcess || !process->ended || !process->statusKnown) {
        return ExitStatus{-1, false};
    }
    int status = process->waitStatus;
    if (WIFSIGNALED(status)) {
        return ExitStatus{WTERMSIG(status), true};
    }
    if (WIFEXITED(status)) {
        return ExitStatus{WEXITSTATUS(status), false};
    }
    return ExitStatus{-1, false};
}

void closeChild(ProcessHandle* process) {
    PosixProcess* record = *process;
    if (record == kNoProcess) {
        return;
    }
    *process = kNoProcess;
    if (!collect(record)) {
        // Still running (it closed its output but lives on): never killed, but
        // collected when it ends so it does not linger as a zombie.
        pid_t pid = record->pid;
        try {
            std::thread([pid] {
                int status = 0;
                while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
                }
            }).detach();
        } catch (const std::system_error&) {
            // No thread to spare: the zombie stays until this process ends.
        }
    }
    delete record;
}
