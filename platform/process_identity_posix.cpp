// Process ids on POSIX: getpid, and kill with signal 0, which only asks.
#include "process_identity.h"

#include <cerrno>
#include <csignal>
#include <unistd.h>

int64_t currentProcessId() {
    return getpid();
}

bool processIsAlive(int64_t processId) {
    if (processId <= 0 || static_cast<pid_t>(processId) != processId) {
        return false;
    }
    return kill(static_cast<pid_t>(processId), 0) == 0 || errno == EPERM;
}
