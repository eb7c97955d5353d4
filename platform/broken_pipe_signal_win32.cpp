// Windows has no SIGPIPE: a write to a pipe whose reader is gone already fails with
// ERROR_NO_DATA, so there is nothing to ignore.
#include "broken_pipe_signal.h"

void ignoreBrokenPipeSignal() {}
