// The prober's lifeline on POSIX: one detached thread in poll() on standard input and
// output with the remaining time as its time-out. _exit from that thread ends the whole
// process even while the main thread waits in a (killable) read.
#include "lifeline.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
int g_seconds = 0;
bool g_alarmOnly = false;              // no watching thread could be started: an alarm stands in
std::atomic<Clock::rep> g_deadline{0}; // in Clock ticks; moved on by renewLifeline

Clock::time_point deadline() {
    return Clock::time_point(Clock::duration(g_deadline.load()));
}

void setDeadline() {
    g_deadline.store((Clock::now() + std::chrono::seconds(g_seconds)).time_since_epoch().count());
}

void giveUp(const char* line) {
    if (line != nullptr) {
        // Nobody may be reading; the result does not matter.
        ssize_t ignored = write(STDERR_FILENO, line, std::strlen(line));
        (void)ignored;
    }
    _exit(1);
}

// Only a pipe or a socket reaches an end when its writer goes away; a terminal or
// /dev/null on standard input says nothing about the caller.
bool inputTellsOfTheCaller() {
    struct stat info {};
    return fstat(STDIN_FILENO, &info) == 0 && (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode));
}

void watch(int seconds) {
    pollfd fds[2] = {{STDOUT_FILENO, 0, 0}, {STDIN_FILENO, POLLIN, 0}};
    const nfds_t count = inputTellsOfTheCaller() ? 2 : 1;
    char line[96];
    std::snprintf(line, sizeof line, "pb.dat: gave up: the file was not read within %d s\n",
                  seconds);
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline() - Clock::now());
        if (left.count() <= 0) {
            giveUp(line);
        }
        const int ready = poll(fds, count, static_cast<int>(left.count()));
        if (ready <= 0) {
            continue; // time-out (checked above) or a signal
        }
        if (fds[0].revents & (POLLERR | POLLHUP)) {
            giveUp(nullptr); // the reader of our output is gone
        }
        if (count == 2 && fds[1].revents != 0) {
            char discard[256];
            const ssize_t got = read(STDIN_FILENO, discard, sizeof discard);
            if (got == 0 || (fds[1].revents & (POLLERR | POLLNVAL))) {
                giveUp("pb.dat: standard input closed; stopped\n");
            }
        }
    }
}

} // namespace

void startLifeline(int seconds) {
    g_seconds = seconds;
    setDeadline();
    std::signal(SIGPIPE, SIG_IGN);
    try {
        std::thread(watch, seconds).detach();
    } catch (const std::system_error&) {
        g_alarmOnly = true;
        alarm(static_cast<unsigned>(seconds)); // no thread to spare: at least the time limit
    }
}

void renewLifeline() {
    setDeadline();
    if (g_alarmOnly) {
        alarm(static_cast<unsigned>(g_seconds));
    }
}
