// Running one external program and draining its output from a timer without blocking.
#include "tool_process.h"

#include "bounded_text.h"
#include "child_process.h"
#include "path_separator.h"
#include "pipe_io.h"

#include <algorithm>
#include <cstring>

namespace {
// How long a program whose output pipe broke may take to be seen ending, so that its
// exit status is known. A program ends right after its last descriptor closes; only
// one that closed its output and lives on waits this long.
constexpr int kExitGraceMilliseconds = 100;

void closeRun(ToolProcess* tool) {
    closePipe(&tool->outputRead);
    closePipe(&tool->inputWrite);
    closeChild(&tool->process);
    tool->processId = 0;
}
} // namespace

int setToolProgram(ToolProcess* tool, const char* folder, const char* fileName) {
    return formatText(tool->programPath, sizeof tool->programPath,
                      "%s" NEMARRO_PATH_SEPARATOR "%s", folder, fileName);
}

int startTool(ToolProcess* tool) {
    tool->exitStatus = kExitUnknown;
    tool->endedBySignal = false;
    // The start works on its own copy of the line.
    char line[kToolLineSize];
    std::memcpy(line, tool->commandLine, sizeof line);
    line[sizeof line - 1] = '\0';
    StartedChild child;
    int started = startChild(line, &child);
    tool->process = child.process;
    tool->processId = child.processId;
    tool->outputRead = child.outputRead;
    tool->inputWrite = child.inputWrite;
    return started;
}

int pollTool(ToolProcess* tool) {
    if (tool->process == kNoProcess) {
        return 1;
    }
    bool ended = waitChild(tool->process, 1) == 1;
    bool broken = false;
    for (;;) {
        int waiting = 0;
        PipeResult result = pipeBytesWaiting(tool->outputRead, &waiting);
        if (result != PipeResult::Ok) {
            broken = result == PipeResult::Broken;
            break;
        }
        if (waiting == 0) {
            // Still counts as running even if it has ended: the next poll sees the pipe
            // broken once whatever holds its write end has let go.
            return 0;
        }
        int got = 0;
        result = readPipe(tool->outputRead, tool->chunk,
                          std::min(waiting, static_cast<int>(kChunkSize) - 1), &got);
        if (result != PipeResult::Ok || got == 0) {
            broken = result == PipeResult::Broken;
            break;
        }
        tool->chunk[got] = '\0';
        if (tool->handlers != nullptr && tool->handlers->onOutput != nullptr) {
            tool->handlers->onOutput(tool);
        }
    }
    if (!broken && !ended) {
        return 0; // a failed read while it runs: the next poll tries again
    }
    waitChild(tool->process, kExitGraceMilliseconds);
    ExitStatus status = childExitStatus(tool->process);
    tool->exitStatus = status.code;
    tool->endedBySignal = status.bySignal;
    closeRun(tool);
    return 1;
}

int sendQuit(ToolProcess* tool) {
    if (tool->process == kNoProcess) {
        return 0;
    }
    int written = 0;
    PipeResult result = writePipe(tool->inputWrite, "q\n", 2, &written);
    return result == PipeResult::Ok && written == 2 ? 1 : 0;
}

void clearToolRun(ToolProcess* tool) {
    closeRun(tool);
    tool->commandLine[0] = '\0';
    std::memset(tool->chunk, 0, sizeof tool->chunk);
}

bool toolExitedCleanly(const ToolProcess* tool) {
    return tool->exitStatus == 0 && !tool->endedBySignal;
}
