// Running one child program with posix_spawn; stop signals are passed on to it.
#include "child_runner.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// The signal handler only notes the signal on this pipe; the runner's loop passes it on.
int g_signalPipe[2] = {-1, -1};

extern "C" void noteStopSignal(int signal, siginfo_t* info, void*) {
    if (info && info->si_code == SI_KERNEL)
        return; // from the terminal, sent to the whole group: the child has it already
    const int savedErrno = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = write(g_signalPipe[1], &number, 1);
    errno = savedErrno;
}

void closeIfOpen(int& fd) {
    if (fd >= 0)
        close(fd);
    fd = -1;
}

long long nowMs() {
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// Only a pipe or a socket has a writer whose end we can see; a terminal or /dev/null
// would look ended (or never end) for reasons that have nothing to do with our parent.
bool inputIsWatchable() {
    struct stat info {};
    return fstat(STDIN_FILENO, &info) == 0 && (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode));
}

void writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return; // the child no longer reads its input: nothing to pass on
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

} // namespace

struct ChildRunner::State {
    State();
    ~State();
    int run(const std::string& program, const std::vector<std::string>& arguments,
            const OutputHandler& onOutput, int& waitStatus);
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

ChildRunner::ChildRunner() : m_state(std::make_unique<State>()) {}

ChildRunner::~ChildRunner() = default;

std::string ChildRunner::run(const std::string& program, const std::vector<std::string>& arguments,
                             const OutputHandler& onOutput, ExitStatus& status) {
    int waitStatus = 0;
    const int error = m_state->run(program, arguments, onOutput, waitStatus);
    if (error != 0)
        return std::strerror(error);
    if (WIFEXITED(waitStatus))
        status = ExitStatus{WEXITSTATUS(waitStatus), false};
    else if (WIFSIGNALED(waitStatus))
        status = ExitStatus{WTERMSIG(waitStatus), true};
    else
        status = ExitStatus{1, false};
    return {};
}

ChildRunner::State::State() {
    // An ignored SIGCHLD, inherited from whoever started us, would let the child be reaped
    // unseen and lose its exit status.
    signal(SIGCHLD, SIG_DFL);
    if (pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        g_signalPipe[0] = g_signalPipe[1] = -1;
        return; // without the pipe signals keep their usual effect
    }
    for (int i = 0; i < 3; ++i) {
        struct sigaction current {};
        sigaction(kForwarded[i], nullptr, &current);
        if (current.sa_handler == SIG_IGN)
            continue; // whoever started us asked for this signal to be ignored
        struct sigaction action {};
        action.sa_sigaction = noteStopSignal;
        action.sa_flags = SA_SIGINFO; // no SA_RESTART: a wait is interrupted to forward
        sigemptyset(&action.sa_mask);
        m_installed[i] = sigaction(kForwarded[i], &action, &m_previous[i]) == 0;
    }
}

ChildRunner::State::~State() {
    closeIfOpen(m_childInput);
    for (int i = 0; i < 3; ++i)
        if (m_installed[i])
            sigaction(kForwarded[i], &m_previous[i], nullptr);
    closeIfOpen(g_signalPipe[0]);
    closeIfOpen(g_signalPipe[1]);
}

void ChildRunner::State::forwardPendingSignals() {
    if (g_signalPipe[0] < 0)
        return;
    unsigned char numbers[16];
    ssize_t count;
    while ((count = read(g_signalPipe[0], numbers, sizeof numbers)) > 0)
        for (ssize_t i = 0; i < count; ++i)
            if (m_child > 0)
                kill(m_child, numbers[i]);
}

void ChildRunner::State::passInputOn() {
    char bytes[512];
    const ssize_t count = read(STDIN_FILENO, bytes, sizeof bytes);
    if (count > 0) {
        writeAll(m_childInput, bytes, static_cast<std::size_t>(count));
    } else if (count == 0 || (errno != EINTR && errno != EAGAIN)) {
        m_watchInput = false; // whoever started us is gone
        stopChild();
    }
}

void ChildRunner::State::stopChild() {
    if (m_child <= 0)
        return;
    const long long now = nowMs();
    if (m_stopStep == 0) {
        m_stopStep = 1;
        m_nextStepAtMs = now + kStopGraceMs;
        if (m_childInput >= 0) {
            writeAll(m_childInput, "q\n", 2);
            return;
        }
        // The child shares a terminal or /dev/null with us: "q" cannot reach it, and its
        // first SIGTERM still closes the file properly.
        kill(m_child, SIGTERM);
        m_stopStep = 2;
        m_nextStepAtMs = now + kKillGraceMs;
    } else if (now >= m_nextStepAtMs && m_stopStep < 3) {
        kill(m_child, m_stopStep == 1 ? SIGTERM : SIGKILL);
        ++m_stopStep;
        m_nextStepAtMs = now + kKillGraceMs;
    }
}

int ChildRunner::State::stopTimeoutMs() const {
    if (m_stopStep == 0 || m_stopStep == 3)
        return -1;
    const long long left = m_nextStepAtMs - nowMs();
    return left > 0 ? static_cast<int>(left) : 0;
}

int ChildRunner::State::run(const std::string& program, const std::vector<std::string>& arguments,
                            const OutputHandler& onOutput, int& waitStatus) {
    waitStatus = 0;
    int output[2];
    if (pipe2(output, O_CLOEXEC) != 0)
        return errno;
    int input[2] = {-1, -1};
    m_watchInput = inputIsWatchable();
    if (m_watchInput && pipe2(input, O_CLOEXEC) != 0) {
        const int error = errno;
        close(output[0]);
        close(output[1]);
        return error;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (m_watchInput)
        posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDERR_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // Our caller may ignore SIGPIPE; the child gets the usual behaviour and no blocked signal.
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    sigset_t mask;
    sigemptyset(&mask);
    posix_spawnattr_setsigmask(&attributes, &mask);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    pid_t child = -1;
    const int spawnError =
        posix_spawn(&child, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(output[1]);
    closeIfOpen(input[0]);
    m_childInput = input[1];
    if (spawnError != 0) {
        close(output[0]);
        closeIfOpen(m_childInput);
        m_watchInput = false;
        return spawnError;
    }
    if (m_childInput >= 0)
        fcntl(m_childInput, F_SETFL, O_NONBLOCK); // a child that reads nothing never stalls us
    m_child = child;
    m_stopStep = 0;
    forwardPendingSignals(); // a stop that came while the child was being started

    char buffer[65536];
    for (;;) {
        pollfd watched[3] = {{output[0], POLLIN, 0},
                             {g_signalPipe[0], POLLIN, 0},
                             {m_watchInput ? STDIN_FILENO : -1, POLLIN, 0}};
        const int ready = poll(watched, 3, stopTimeoutMs());
        if (ready < 0 && errno != EINTR)
            break;
        forwardPendingSignals();
        if (m_stopStep > 0)
            stopChild(); // the next step once its time has come
        if (ready > 0 && watched[2].revents != 0)
            passInputOn();
        if (ready <= 0 || watched[0].revents == 0)
            continue;
        const ssize_t count = read(output[0], buffer, sizeof buffer);
        if (count > 0) {
            if (!onOutput(buffer, static_cast<std::size_t>(count)))
                stopChild(); // nobody reads what the child reports any more
        } else if (count == 0 || (errno != EINTR && errno != EAGAIN)) {
            break; // every writer has closed the pipe: the child has ended or is ending
        }
    }
    close(output[0]);
    closeIfOpen(m_childInput);

    for (;;) {
        const pid_t result = waitpid(child, &waitStatus, 0);
        if (result == child)
            break;
        if (result < 0 && errno != EINTR) {
            waitStatus = W_EXITCODE(1, 0); // its outcome is unknown: not a success
            break;
        }
        forwardPendingSignals();
    }
    m_child = -1;
    return 0;
}
