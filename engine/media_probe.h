// Probing an added file for its duration and turning it into a job.
#pragma once

#include "conversion_job.h"
#include "tool_process.h"

#include <cstdint>

struct MediaInfo {
    char sourcePath[kPathSize];
    char* outputText;       // the prober's whole output; nullptr between probes
    int32_t outputCapacity;
    int32_t outputLength;
    double duration;        // from "duration=" after "[FORMAT]"; 0 when none
};

extern MediaInfo g_mediaInfo;
extern ToolProcess g_probeProcess; // context &g_mediaInfo, handlers kProbeHandlers
extern const ToolHandlers kProbeHandlers;

// Results of probeAndAddJob.
inline constexpr int kProbeAdded = 0;
inline constexpr int kProbeNoDuration = 1;
inline constexpr int kProbeNotStarted = -1;
// The path, one of its parts or the probe line does not fit, or the path holds a double
// quote: nothing runs.
inline constexpr int kProbeRefused = -2;

// Probes `path` with pb.dat and, when it has a positive finite duration, appends a job
// with currentProfile to g_jobList.
int probeAndAddJob(const char* path);

// The prober's handlers: "\"%s\" -show_format -show_streams \"%s\"" into commandLine
// (non-zero refuses) and a 1024-byte output buffer; appending the chunk; reading the
// duration and releasing the output.
int probePrepare(ToolProcess* tool);
void probeOnOutput(ToolProcess* tool);
void probeFinish(ToolProcess* tool);
