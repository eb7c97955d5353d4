// Anonymous pipe ends as Win32 handles: "bytes waiting" is PeekNamedPipe, and a pipe is
// broken once every writer has closed and nothing is left to read.
#include "pipe_io.h"

#include <windows.h>

namespace {
PipeResult failure() {
    DWORD error = GetLastError();
    return error == ERROR_BROKEN_PIPE || error == ERROR_NO_DATA ? PipeResult::Broken
                                                                : PipeResult::Failed;
}
} // namespace

PipeResult pipeBytesWaiting(PipeHandle pipe, int* bytes) {
    *bytes = 0;
    if (pipe == kNoPipe) {
        return PipeResult::Failed;
    }
    DWORD waiting = 0;
    if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &waiting, nullptr)) {
        return failure();
    }
    *bytes = waiting > 0x7fffffff ? 0x7fffffff : static_cast<int>(waiting);
    return PipeResult::Ok;
}

PipeResult readPipe(PipeHandle pipe, char* buffer, int size, int* bytesRead) {
    *bytesRead = 0;
    if (pipe == kNoPipe || size <= 0) {
        return PipeResult::Failed;
    }
    DWORD got = 0;
    if (!ReadFile(pipe, buffer, static_cast<DWORD>(size), &got, nullptr)) {
        return failure();
    }
    // Zero bytes is a writer's empty write, not the end: the end comes as a broken pipe.
    *bytesRead = static_cast<int>(got);
    return PipeResult::Ok;
}

PipeResult writePipe(PipeHandle pipe, const char* data, int size, int* bytesWritten) {
    *bytesWritten = 0;
    if (pipe == kNoPipe || size < 0) {
        return PipeResult::Failed;
    }
    DWORD put = 0;
    if (!WriteFile(pipe, data, static_cast<DWORD>(size), &put, nullptr)) {
        return failure();
    }
    // A non-blocking pipe with no room takes nothing and still says it succeeded.
    if (put == 0 && size > 0) {
        return PipeResult::Failed;
    }
    *bytesWritten = static_cast<int>(put);
    return PipeResult::Ok;
}

void closePipe(PipeHandle* pipe) {
    if (*pipe == kNoPipe) {
        return;
    }
    CloseHandle(*pipe);
    *pipe = kNoPipe;
}

void waitForPipes(const PipeHandle* pipes, int count, int milliseconds) {
    const ULONGLONG end =
        GetTickCount64() + static_cast<ULONGLONG>(milliseconds < 0 ? 0 : milliseconds);
    for (;;) {
        for (int i = 0; i < count; ++i) {
            DWORD waiting = 0;
            if (pipes[i] != kNoPipe &&
                (!PeekNamedPipe(pipes[i], nullptr, 0, nullptr, &waiting, nullptr) || waiting > 0)) {
                return; // bytes, or a pipe that broke
            }
        }
        if (GetTickCount64() >= end) {
            return;
        }
        Sleep(1);
    }
}
