// Writing to a pipe whose reader has gone must be an error code, not the end of the
// program: SIGPIPE is ignored process-wide.
#pragma once

// Ignores SIGPIPE for the whole process; safe to call often and from any thread.
void ignoreBrokenPipeSignal();
