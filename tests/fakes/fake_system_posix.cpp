// The fake on POSIX: file descriptors 0, 1 and 2, SIGABRT, descriptors and sessions.
#include "fake_system.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <poll.h>
#include <unistd.h>

void writeAll(int stream, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t put = write(stream, text.data() + done, text.size() - done);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            return;
        }
        done += static_cast<std::size_t>(put);
    }
}

int readInput(char* buffer, int size, long long timeoutMs) {
    pollfd entry = {0, POLLIN, 0};
    if (poll(&entry, 1, static_cast<int>(timeoutMs)) <= 0) {
        return 0;
    }
    ssize_t got = read(0, buffer, static_cast<std::size_t>(size));
    return got <= 0 ? -1 : static_cast<int>(got);
}

long processId() {
    return static_cast<long>(getpid());
}

void closeOutput() {
    close(1);
    close(2);
}

void crash() {
    std::signal(SIGABRT, SIG_DFL);
    std::raise(SIGABRT);
    std::_Exit(134);
}

void runSystemCommand(const std::string& command, const std::string& rest, int, char**) {
    if (command == "fds") {
        std::string list;
        DIR* folder = opendir("/proc/self/fd");
        int own = folder == nullptr ? -1 : dirfd(folder);
        while (dirent* entry = folder == nullptr ? nullptr : readdir(folder)) {
            if (entry->d_name[0] != '.' && std::atoi(entry->d_name) != own) {
                list += std::string(entry->d_name) + "\n";
            }
        }
        if (folder != nullptr) {
            closedir(folder);
        }
        std::ofstream(rest) << list;
    } else if (command == "session") {
        std::ofstream(rest) << getpid() << ' ' << getsid(0) << '\n';
    }
}
