// Running one child program with its output on a pipe and stop signals passed on to it.
#include "child_runner.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
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

} // namespace

ChildRunner::ChildRunner() {
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

ChildRunner::~ChildRunner() {
    for (int i = 0; i < 3; ++i)
        if (m_installed[i])
            sigaction(kForwarded[i], &m_previous[i], nullptr);
    closeIfOpen(g_signalPipe[0]);
    closeIfOpen(g_signalPipe[1]);
}

void ChildRunner::forwardPendingSignals() {
    if (g_signalPipe[0] < 0)
        return;
    unsigned char numbers[16];
    ssize_t count;
    while ((count = read(g_signalPipe[0], numbers, sizeof numbers)) > 0)
        for (ssize_t i = 0; i < count; ++i)
            if (m_child > 0)
                kill(m_child, numbers[i]);
}

int ChildRunner::run(const std::string& program, const std::vector<std::string>& arguments,
                     const OutputHandler& onOutput, int& waitStatus) {
    waitStatus = 0;
    int output[2];
    if (pipe2(output, O_CLOEXEC) != 0)
        return errno;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
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
    if (spawnError != 0) {
        close(output[0]);
        return spawnError;
    }
    m_child = child;
    forwardPendingSignals(); // a stop that came while the child was being started

    char buffer[65536];
    for (;;) {
        pollfd watched[2] = {{output[0], POLLIN, 0}, {g_signalPipe[0], POLLIN, 0}};
        const int ready = poll(watched, g_signalPipe[0] >= 0 ? 2 : 1, -1);
        if (ready < 0 && errno != EINTR)
            break;
        forwardPendingSignals();
        if (ready <= 0 || watched[0].revents == 0)
            continue;
        const ssize_t count = read(output[0], buffer, sizeof buffer);
        if (count > 0)
            onOutput(buffer, static_cast<std::size_t>(count));
        else if (count == 0 || (errno != EINTR && errno != EAGAIN))
            break; // every writer has closed the pipe: the child has ended or is ending
    }
    close(output[0]);

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
