// The prober's lifeline on POSIX: one detached thread in poll() on standard input and
// output with the remaining time as its time-out. _exit from that thread ends the whole
// process even while the main thread waits in a (killable) read.
#include "lifeline.h"

#include <algorithm>
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

// The limit's length and the moment it runs out, on the steady clock; renewLifeline
// moves the moment from the main thread.
int g_seconds = 0;
std::atomic<Clock::rep> g_deadline{0};
constexpr Clock::rep kSuspended = Clock::duration::max().count();
// While the limit is suspended the watcher still looks this often for one that started.
constexpr int kSuspendedLookMilliseconds = 1000;
bool g_alarmOnly = false; // no watching thread: the limit is an alarm

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

void watch(int seconds, bool watchInput) {
    pollfd fds[2] = {{STDOUT_FILENO, 0, 0}, {STDIN_FILENO, POLLIN, 0}};
    const nfds_t count = watchInput && inputTellsOfTheCaller() ? 2 : 1;
    char line[96];
    std::snprintf(line, sizeof line, "pb.dat: gave up: the file was not read within %d s\n",
                  seconds);
    for (;;) {
        const Clock::rep at = g_deadline.load();
        int wait = kSuspendedLookMilliseconds;
        if (at != kSuspended) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                Clock::time_point{Clock::duration(at)} - Clock::now());
            if (left.count() <= 0) {
                giveUp(line);
            }
            wait = static_cast<int>(std::min<long long>(left.count(), kSuspendedLookMilliseconds));
        }
        const int ready = poll(fds, count, wait);
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

void startLifeline(int seconds, bool watchInput) {
    std::signal(SIGPIPE, SIG_IGN);
    g_seconds = seconds;
    renewLifeline();
    try {
        std::thread(watch, seconds, watchInput).detach();
    } catch (const std::system_error&) {
        g_alarmOnly = true; // no thread to spare: at least the time limit
        alarm(static_cast<unsigned>(seconds));
    }
}

void renewLifeline() {
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(g_seconds);
    g_deadline.store(deadline.time_since_epoch().count(), std::memory_order_relaxed);
    if (g_alarmOnly)
        alarm(static_cast<unsigned>(g_seconds));
}

void suspendLifeline() {
    g_deadline.store(kSuspended, std::memory_order_relaxed);
    if (g_alarmOnly)
        alarm(0);
}
