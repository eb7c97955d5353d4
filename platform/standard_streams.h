// A console program's own standard streams: made safe to use, standard error written
// whole, and standard input watched for its end.
#pragma once

#include "native_handles.h"

#include <cstddef>

// Called first thing. POSIX: a closed standard descriptor is opened on /dev/null (else the
// next pipe would reuse it and be closed under us), and SIGPIPE is ignored, so a reader
// that went away is seen as a failed write, which stops the conversion properly, rather
// than as a signal that would leave ffmpeg running on its own. Windows: nothing to do; a
// missing handle makes every write fail.
void prepareStandardStreams();

// Writes all of `data` to standard error. False when it could not be passed on: whoever
// read our reports is gone.
bool writeStandardError(const char* data, std::size_t size);

// Standard input as a pipe end when it is a pipe (or, on POSIX, a socket): only then does
// its end say that whoever started us is gone. A terminal or /dev/null gives kNoPipe.
PipeHandle watchableStandardInput();
