// One external console program run hidden and polled without blocking: its output
// is handed chunk by chunk to a table of handlers.
#pragma once

#include "native_handles.h"
#include "path_limits.h"

#include <cstddef>
#include <cstdint>

struct ToolProcess;

// The three operations that make a ToolProcess an encoder run or a probe run.
struct ToolHandlers {
    // Composes commandLine before each start. Returns 0, or non-zero to refuse the start.
    int (*prepare)(ToolProcess* tool);
    // Called once per chunk read.
    void (*onOutput)(ToolProcess* tool);
    // Called by the owner once after the program has ended.
    void (*finish)(ToolProcess* tool);
};

inline constexpr std::size_t kToolPathSize = kPathSize;
// Holds the encoder's line and the prober's.
inline constexpr std::size_t kToolLineSize =
    kCommandLineSize > kProbeLineSize ? kCommandLineSize : kProbeLineSize;
inline constexpr std::size_t kChunkSize = 512; // at most 511 bytes and a terminator
inline constexpr int32_t kExitUnknown = -1;

struct ToolProcess {
    char programPath[kToolPathSize];
    char commandLine[kToolLineSize];
    char chunk[kChunkSize];
    ProcessHandle process = kNoProcess; // kNoProcess when no program runs
    int32_t processId = 0;
    PipeHandle outputRead = kNoPipe;    // the program's stdout and stderr
    PipeHandle inputWrite = kNoPipe;    // the program's stdin
    void* context = nullptr;            // EncoderProgress or MediaInfo
    const ToolHandlers* handlers = nullptr;
    // How the last run ended, kept so a crash or failure is never judged a success:
    // the exit code, or the signal number when endedBySignal; kExitUnknown until known.
    int32_t exitStatus = kExitUnknown;
    bool endedBySignal = false;
};

// Sets programPath to folder + separator + fileName ("%s/cv.dat"). Returns 0, or -1
// when it does not fit (programPath is then empty).
int setToolProgram(ToolProcess* tool, const char* folder, const char* fileName);
// Starts commandLine. Returns 1 when the program runs, 0 when not (handles cleared).
int startTool(ToolProcess* tool);
// Drains everything waiting in chunks of at most 511 bytes through onOutput. Returns
// 1 when the program has ended and all its output was read (handles then closed and
// the exit status kept), 0 while it runs; 1 at once when no program runs.
int pollTool(ToolProcess* tool);
// Writes exactly "q\n" to the program's stdin. Returns 1 when written, else 0.
int sendQuit(ToolProcess* tool);
// Clears commandLine, chunk and the handles before a new run or after one; a program
// still running is let go (never killed). The last exit status stays.
void clearToolRun(ToolProcess* tool);
// True when the last run exited by itself with status 0.
bool toolExitedCleanly(const ToolProcess* tool);
