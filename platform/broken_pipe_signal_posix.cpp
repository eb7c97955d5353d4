// SIGPIPE ignored process-wide, so a write to a pipe whose reader is gone fails with EPIPE.
#include "broken_pipe_signal.h"

#include <csignal>
#include <mutex>

void ignoreBrokenPipeSignal() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action = {};
        action.sa_handler = SIG_IGN;
        sigemptyset(&action.sa_mask);
        sigaction(SIGPIPE, &action, nullptr);
    });
}
