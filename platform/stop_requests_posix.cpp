// Stop signals noted by a handler; the program's loop passes them on with kill.
#include "stop_requests.h"

#include <csignal>
#include <signal.h>

namespace {
volatile std::sig_atomic_t g_request = 0;

extern "C" void noteRequest(int signal) {
    g_request = signal;
}
} // namespace

void watchStopRequests() {
    std::signal(SIGCHLD, SIG_DFL);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction current {};
        sigaction(signal, nullptr, &current);
        if (current.sa_handler == SIG_IGN) {
            continue;
        }
        struct sigaction action {};
        action.sa_handler = noteRequest;
        sigemptyset(&action.sa_mask);
        sigaction(signal, &action, nullptr); // no SA_RESTART: a wait ends to pass it on
    }
}

int takeStopRequest() {
    const int request = g_request;
    g_request = 0;
    return request;
}

void passStopRequestOn(StartedChild* child, int request) {
    if (waitChild(child->process, 0) == 0) { // not yet collected: its pid is still its own
        kill(child->processId, request);
    }
}
