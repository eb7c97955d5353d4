// Non-blocking use of a pipe end: how many bytes wait, read, write, close.
#pragma once

#include "native_handles.h"

enum class PipeResult {
    Ok,
    Broken, // the other end is closed and nothing is left to read (or write to)
    Failed, // any other failure
};

// How many bytes wait to be read, without removing them.
PipeResult pipeBytesWaiting(PipeHandle pipe, int* bytes);
// Reads up to `size` bytes; never blocks when pipeBytesWaiting said they wait.
PipeResult readPipe(PipeHandle pipe, char* buffer, int size, int* bytesRead);
// Writes up to `size` bytes without blocking; a full pipe gives Failed.
PipeResult writePipe(PipeHandle pipe, const char* data, int size, int* bytesWritten);
// Closes the pipe end and sets it to kNoPipe; kNoPipe is left alone.
void closePipe(PipeHandle* pipe);
// Returns when one of the `count` pipe ends (kNoPipe entries are left out) has bytes or
// has broken, when a signal arrived, or after at most `milliseconds`: one wait for the
// output of several programs at once. Windows cannot wait on an anonymous pipe: there it
// looks at each pipe every millisecond.
void waitForPipes(const PipeHandle* pipes, int count, int milliseconds);
