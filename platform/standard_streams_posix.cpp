// Standard streams as file descriptors 0 to 2.
#include "standard_streams.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

void prepareStandardStreams() {
    for (int fd = 0; fd <= 2; ++fd)
        if (fcntl(fd, F_GETFD) < 0)
            open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    std::signal(SIGPIPE, SIG_IGN);
}

bool writeStandardError(const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(STDERR_FILENO, data, size);
        if (written > 0) {
            data += written;
            size -= static_cast<std::size_t>(written);
        } else if (written < 0 && errno == EAGAIN) {
            pollfd wait = {STDERR_FILENO, POLLOUT, 0};
            poll(&wait, 1, 100);
        } else if (written < 0 && errno == EINTR) {
            continue;
        } else {
            return false;
        }
    }
    return true;
}

PipeHandle watchableStandardInput() {
    struct stat info {};
    const bool pipe = fstat(STDIN_FILENO, &info) == 0 &&
                      (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode));
    return pipe ? STDIN_FILENO : kNoPipe;
}
