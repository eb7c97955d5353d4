// Requests to stop that reach a console program from outside, passed on to the program it
// runs. POSIX: SIGINT, SIGTERM and SIGHUP (the child runs in its own session, so a signal
// the terminal sends reaches only us). Windows: Ctrl+C and Ctrl+Break at our console.
#pragma once

#include "child_process.h"

// From now on such a request is noted instead of ending this process; a signal that
// whoever started us asked to be ignored stays ignored. POSIX: an inherited ignored
// SIGCHLD is reset too, or a child would be collected unseen and lose its exit status.
void watchStopRequests();

// The request noted since the last call (the signal number, or 1 on Windows); 0 for none.
int takeStopRequest();

// Passes a request on in the child's own terms: POSIX the same signal (ffmpeg then
// finishes its file), Windows "q" on its input.
void passStopRequestOn(StartedChild* child, int request);
