// Pipe ends as file descriptors: "bytes waiting" is poll + FIONREAD, and a pipe is
// broken when its writer has hung up and nothing is left to read.
#include "pipe_io.h"

#include "broken_pipe_signal.h"

#include <cerrno>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <vector>

PipeResult pipeBytesWaiting(PipeHandle pipe, int* bytes) {
    *bytes = 0;
    if (pipe == kNoPipe) {
        return PipeResult::Failed;
    }
    pollfd entry = {pipe, POLLIN, 0};
    int ready = 0;
    do {
        ready = poll(&entry, 1, 0);
    } while (ready < 0 && errno == EINTR);
    if (ready < 0 || (entry.revents & POLLNVAL) != 0) {
        return PipeResult::Failed;
    }
    int waiting = 0;
    if (ioctl(pipe, FIONREAD, &waiting) < 0) {
        return PipeResult::Failed;
    }
    if (waiting > 0) {
        *bytes = waiting;
        return PipeResult::Ok;
    }
    // Nothing waits: broken when the writer is gone, else simply empty.
    if ((entry.revents & (POLLHUP | POLLERR)) != 0) {
        return PipeResult::Broken;
    }
    return PipeResult::Ok;
}

PipeResult readPipe(PipeHandle pipe, char* buffer, int size, int* bytesRead) {
    *bytesRead = 0;
    if (pipe == kNoPipe || size <= 0) {
        return PipeResult::Failed;
    }
    ssize_t got = 0;
    do {
        got = read(pipe, buffer, static_cast<size_t>(size));
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        return PipeResult::Failed;
    }
    if (got == 0) {
        return PipeResult::Broken; // end of file: every writer has closed
    }
    *bytesRead = static_cast<int>(got);
    return PipeResult::Ok;
}

PipeResult writePipe(PipeHandle pipe, const char* data, int size, int* bytesWritten) {
    *bytesWritten = 0;
    if (pipe == kNoPipe || size < 0) {
        return PipeResult::Failed;
    }
    ignoreBrokenPipeSignal();
    ssize_t put = 0;
    do {
        put = write(pipe, data, static_cast<size_t>(size));
    } while (put < 0 && errno == EINTR);
    if (put < 0) {
        return errno == EPIPE ? PipeResult::Broken : PipeResult::Failed;
    }
    *bytesWritten = static_cast<int>(put);
    return PipeResult::Ok;
}

void closePipe(PipeHandle* pipe) {
    if (*pipe == kNoPipe) {
        return;
    }
    close(*pipe); // no retry on EINTR: on Linux the descriptor is gone either way
    *pipe = kNoPipe;
}

void waitForPipes(const PipeHandle* pipes, int count, int milliseconds) {
    // Room for every lane of a run on the stack; a longer list is rare enough to allocate.
    constexpr int kOnStack = 64;
    pollfd onStack[kOnStack];
    std::vector<pollfd> onHeap;
    pollfd* entries = onStack;
    if (count > kOnStack) {
        onHeap.resize(static_cast<std::size_t>(count));
        entries = onHeap.data();
    }
    for (int i = 0; i < count; ++i) {
        entries[i] = pollfd{pipes[i], POLLIN, 0}; // a negative descriptor is left out
    }
    poll(entries, static_cast<nfds_t>(count < 0 ? 0 : count), milliseconds);
}
