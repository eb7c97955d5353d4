// A program under test run as a child: stdin on a pipe, stdout and stderr joined on another.
#include "child_program.h"

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

ChildProgram::~ChildProgram() {
    if (m_pid > 0) {
        kill(m_pid, SIGKILL);
        finish();
    }
}

bool ChildProgram::start(const std::vector<std::string>& argv,
                         const std::vector<std::string>& environment) {
    int input[2], output[2];
    if (pipe2(input, O_CLOEXEC) != 0)
        return false;
    if (pipe2(output, O_CLOEXEC) != 0) {
        close(input[0]);
        close(input[1]);
        return false;
    }
    // Everything the child needs is built before fork, so the child only calls exec.
    std::vector<std::string> variables = environment;
    for (char** entry = environ; *entry; ++entry) {
        const char* equals = std::strchr(*entry, '=');
        const std::string name(*entry, equals ? static_cast<std::size_t>(equals - *entry) : 0);
        bool replaced = false;
        for (const std::string& variable : environment)
            replaced = replaced || variable.compare(0, name.size() + 1, name + "=") == 0;
        if (!replaced)
            variables.push_back(*entry);
    }
    std::vector<char*> args, envp;
    for (const std::string& argument : argv)
        args.push_back(const_cast<char*>(argument.c_str()));
    args.push_back(nullptr);
    for (const std::string& variable : variables)
        envp.push_back(const_cast<char*>(variable.c_str()));
    envp.push_back(nullptr);

    const pid_t pid = fork();
    if (pid == 0) {
        dup2(input[0], STDIN_FILENO);
        dup2(output[1], STDOUT_FILENO);
        dup2(output[1], STDERR_FILENO);
        signal(SIGPIPE, SIG_DFL);
        execve(args[0], args.data(), envp.data());
        _exit(127);
    }
    close(input[0]);
    close(output[1]);
    if (pid < 0) {
        close(input[1]);
        close(output[0]);
        return false;
    }
    m_pid = pid;
    m_input = input[1];
    m_outputFd = output[0];
    return true;
}

void ChildProgram::writeInput(const std::string& text) {
    if (m_input >= 0)
        [[maybe_unused]] ssize_t written = write(m_input, text.data(), text.size());
}

void ChildProgram::sendSignal(int signal) {
    if (m_pid > 0)
        kill(m_pid, signal);
}

void ChildProgram::abandon(bool input, bool output) {
    if (input && m_input >= 0) {
        close(m_input);
        m_input = -1;
    }
    if (output && m_outputFd >= 0) {
        close(m_outputFd);
        m_outputFd = -1;
    }
}

int ChildProgram::waitForEnd(double seconds) {
    const double deadline = secondsNow() + seconds;
    int status = 0;
    while (m_pid > 0 && waitpid(m_pid, &status, WNOHANG) == 0) {
        if (secondsNow() > deadline)
            return -1;
        usleep(10000);
    }
    m_pid = -1;
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
}

bool ChildProgram::readSome(int timeoutMs) {
    if (m_outputFd < 0)
        return false;
    pollfd watched = {m_outputFd, POLLIN, 0};
    if (poll(&watched, 1, timeoutMs) <= 0)
        return true;
    char buffer[4096];
    const ssize_t count = read(m_outputFd, buffer, sizeof buffer);
    if (count <= 0) {
        close(m_outputFd);
        m_outputFd = -1;
        return false;
    }
    m_output.append(buffer, static_cast<std::size_t>(count));
    return true;
}

bool ChildProgram::waitForOutput(const std::string& text, double seconds) {
    const double deadline = secondsNow() + seconds;
    while (m_output.find(text) == std::string::npos) {
        const double left = deadline - secondsNow();
        if (left <= 0 || !readSome(static_cast<int>(left * 1000) + 1))
            return m_output.find(text) != std::string::npos;
    }
    return true;
}

int ChildProgram::finish() {
    while (readSome(-1)) {
    }
    if (m_input >= 0)
        close(m_input);
    m_input = -1;
    int status = 0;
    if (m_pid > 0)
        waitpid(m_pid, &status, 0);
    m_pid = -1;
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return WEXITSTATUS(status);
}

int runProgram(const std::vector<std::string>& argv, std::string& output,
               const std::vector<std::string>& environment) {
    ChildProgram program;
    if (!program.start(argv, environment))
        return -1;
    const int status = program.finish();
    output = program.output();
    return status;
}

double secondsNow() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}
