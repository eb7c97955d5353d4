// Console stop events noted by a handler (on a thread of its own); the program's loop
// passes them on as "q".
#include "stop_requests.h"

#include "pipe_io.h"

#include <atomic>
#include <windows.h>

namespace {
std::atomic<int> g_request{0};

BOOL WINAPI noteRequest(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) {
        return FALSE;
    }
    g_request = 1;
    return TRUE;
}
} // namespace

void watchStopRequests() {
    SetConsoleCtrlHandler(noteRequest, TRUE);
}

int takeStopRequest() {
    return g_request.exchange(0);
}

void passStopRequestOn(StartedChild* child, int) {
    int written = 0;
    writePipe(child->inputWrite, "q\n", 2, &written);
}
