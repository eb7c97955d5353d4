// A prober kept running for one probe or check after another ("pb.dat -serve"): each
// then costs its read alone, not the start of the prober and the hundred-odd libraries it
// loads. A request carries the words of the command line the client's prepare handler
// composed, so a served run and a run of its own ask the same and read the same; a
// program that does not know the mode is found out before its first answer, and every
// run then starts on its own as before.
#pragma once

#include "served_answer.h"
#include "tool_process.h"

#include <cstdint>

struct ProbeServer {
    ToolProcess process; // "<program>" -serve, fed to the server's own handlers
    ToolProcess* client; // the run the pending request answers; nullptr when none is
    ServedAnswer answer; // what it printed since the pending request was sent
    bool cannotServe;    // it ended before greeting: runs start on their own from now
};

// Empties the server; nothing runs until the first start or request.
void initProbeServer(ProbeServer* server);
// Starts the prober at `programPath` as a server unless one runs, so that its start-up
// is paid ahead of the first request. 1 when one runs, else 0.
int startProbeServer(ProbeServer* server, const char* programPath);
// Runs the line `client` composed (its prepare handler has run; its programPath names
// the prober) through `server`, starting it when it does not run, or as a program of its
// own when `server` is nullptr or cannot serve. 1 when the run is under way, 0 when
// neither could start.
int startServedTool(ProbeServer* server, ToolProcess* client);
// pollTool for a run started so: 1 once it is over, its output handed to the client's
// onOutput and its exitStatus set (the answer's status; a server that ended mid-answer
// gives its own exit), 0 while it runs.
int pollServedTool(ProbeServer* server, ToolProcess* client);
// The pipe that brings the run's output, for a wait; kNoPipe when none.
PipeHandle servedToolPipe(const ProbeServer* server, const ToolProcess* client);
// Lets the server go (its input closes and it ends by itself, a pending answer unread)
// and frees its buffer; a client it was answering gets no more.
void stopProbeServer(ProbeServer* server);
