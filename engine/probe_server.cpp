// One prober answering request after request, and the fall-back to a prober per run.
#include "probe_server.h"

#include "bounded_text.h"
#include "command_line_split.h"
#include "pipe_io.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The server's line is composed once, at its start; what it prints is read as it comes.
int serverPrepare(ToolProcess*) {
    return 0;
}
void serverOutput(ToolProcess* tool) {
    readServedOutput(&static_cast<ProbeServer*>(tool->context)->answer, tool->chunk);
}
void serverFinish(ToolProcess*) {}
const ToolHandlers kServerHandlers = {serverPrepare, serverOutput, serverFinish};

// Hands the answer to the client, piece by piece as a program's output comes, and ends
// the client's run with `status`.
void deliver(ProbeServer* server, int32_t status, bool bySignal) {
    ToolProcess* client = server->client;
    const ServedAnswer& answer = server->answer;
    for (int32_t at = 0; at < answer.length;) {
        const int32_t n = std::min(answer.length - at, static_cast<int32_t>(kChunkSize) - 1);
        std::memcpy(client->chunk, answer.text + at, static_cast<std::size_t>(n));
        client->chunk[n] = '\0';
        if (client->handlers != nullptr && client->handlers->onOutput != nullptr)
            client->handlers->onOutput(client);
        at += n;
    }
    client->exitStatus = status;
    client->endedBySignal = bySignal;
    server->client = nullptr;
    forgetServedAnswer(&server->answer);
}

// The request for the client's line: the words after the program's name, each ended by
// a NUL, and one more NUL. Empty when the line does not split.
std::string requestFor(const ToolProcess& client) {
    std::vector<std::string> words;
    if (splitCommandLine(client.commandLine, &words) != 0 || words.size() < 2)
        return {};
    std::string request;
    for (std::size_t i = 1; i < words.size(); ++i) {
        if (words[i].empty())
            return {}; // an empty word would end the request early
        request += words[i];
        request.push_back('\0');
    }
    request.push_back('\0');
    return request;
}

bool send(ProbeServer* server, const std::string& request) {
    for (std::size_t sent = 0; sent < request.size();) {
        int written = 0;
        if (writePipe(server->process.inputWrite, request.data() + sent,
                      static_cast<int>(request.size() - sent), &written) != PipeResult::Ok ||
            written <= 0)
            return false;
        sent += static_cast<std::size_t>(written);
    }
    return true;
}

} // namespace

void initProbeServer(ProbeServer* server) {
    *server = {};
    server->process.context = server;
    server->process.handlers = &kServerHandlers;
    initServedAnswer(&server->answer);
}

int startProbeServer(ProbeServer* server, const char* programPath) {
    ToolProcess* process = &server->process;
    // One that ended since it last answered is seen now, and started again.
    if (process->process != kNoProcess && server->client == nullptr && pollTool(process) == 1)
        clearToolRun(process);
    if (process->process != kNoProcess)
        return 1;
    if (server->cannotServe)
        return 0;
    releaseServedAnswer(&server->answer); // a new program has not greeted yet
    char line[kToolLineSize] = "";
    if (copyText(process->programPath, sizeof process->programPath, programPath) != 0 ||
        appendQuotedArgument(line, sizeof line, programPath) != 0 ||
        appendText(line, sizeof line, " -serve") != 0)
        return 0;
    std::memcpy(process->commandLine, line, sizeof line);
    if (startTool(process) == 0) {
        clearToolRun(process);
        return 0;
    }
    return 1;
}

int startServedTool(ProbeServer* server, ToolProcess* client) {
    if (server != nullptr && server->client == nullptr &&
        startProbeServer(server, client->programPath) == 1) {
        const std::string request = requestFor(*client);
        // Nothing a server prints between answers belongs to one.
        forgetServedAnswer(&server->answer);
        if (!request.empty() && send(server, request)) {
            client->exitStatus = kExitUnknown;
            client->endedBySignal = false;
            server->client = client;
            return 1;
        }
        if (!request.empty())
            stopProbeServer(server); // its input broke: the next request starts another
    }
    return startTool(client);
}

int pollServedTool(ProbeServer* server, ToolProcess* client) {
    if (server == nullptr || server->client != client)
        return pollTool(client);
    const bool ended = pollTool(&server->process) == 1;
    if (server->answer.status != kExitUnknown) {
        deliver(server, server->answer.status, false);
        return 1;
    }
    if (!ended)
        return 0;
    const ToolProcess& process = server->process;
    if (!server->answer.greeted) {
        // Not a serving prober: this run and every later one start on their own.
        server->cannotServe = true;
        server->client = nullptr;
        forgetServedAnswer(&server->answer);
        clearToolRun(&server->process);
        if (startTool(client) == 1)
            return 0;
        client->exitStatus = kExitUnknown;
        return 1;
    }
    // What it said before it ended, and never a success: the answer did not end.
    const bool clean = process.exitStatus == 0 && !process.endedBySignal;
    deliver(server, clean ? kExitUnknown : process.exitStatus, process.endedBySignal);
    clearToolRun(&server->process);
    return 1;
}

PipeHandle servedToolPipe(const ProbeServer* server, const ToolProcess* client) {
    if (server != nullptr && server->client == client)
        return server->process.outputRead;
    return client->outputRead;
}

void stopProbeServer(ProbeServer* server) {
    clearToolRun(&server->process);
    server->client = nullptr;
    releaseServedAnswer(&server->answer);
}
