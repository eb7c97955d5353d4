// Probing an added file for its duration and turning it into a job.
#pragma once

#include "conversion_job.h"
#include "media_details.h"
#include "probe_server.h"
#include "tool_process.h"

#include <cstdint>

struct MediaInfo {
    char sourcePath[kPathSize];
    char* outputText; // the prober's whole output; nullptr between probes
    int32_t outputCapacity;
    int32_t outputLength;
    double duration;      // from "duration=" after "[FORMAT]"; 0 when none
    bool hasAudio;        // a stream section says "codec_type=audio"
    unsigned asked;       // kProbeTags, kProbeFingerprints: what else the probe reads
    MediaDetails details; // filled when something was asked
};

// What a probe may read besides the length: the tags (cheap, from the headers), and the
// fingerprints of sound and tags (the prober reads every packet of the file for them).
inline constexpr unsigned kProbeTags = 1;
inline constexpr unsigned kProbeFingerprints = 2;

extern MediaInfo g_mediaInfo;
extern ToolProcess g_probeProcess; // context &g_mediaInfo, handlers kProbeHandlers
extern const ToolHandlers kProbeHandlers;

// Results of probeAndAddJob and of a probe run (startProbe, finishProbe). Each success
// has its own name; all three are 0, the value a done step has throughout the engine.
inline constexpr int kProbeAdded = 0;    // probeAndAddJob, addProbedJob: the job is in the list
inline constexpr int kProbeStarted = 0;  // startProbe: the prober runs
inline constexpr int kProbeReadable = 0; // finishProbe: the run gave a usable duration
inline constexpr int kProbeNoDuration = 1;
inline constexpr int kProbeNotStarted = -1;
// The path, one of its parts or the probe line does not fit, or the path holds a double
// quote where the platform cannot carry one (Windows): nothing runs.
inline constexpr int kProbeRefused = -2;

// Probes `path` with pb.dat and, when it has a positive finite duration, appends a job
// with currentProfile to g_jobList.
int probeAndAddJob(const char* path);

// The steps of one probe run, for callers that run several at once (probe_ahead.h):
// startProbe refuses what probeAndAddJob refuses and starts the prober for `path` with
// `tool` (programPath set, context `info`, whose `asked` it keeps while it clears the
// rest); once pollTool has seen it end, finishProbe reads the outcome into `info` and
// gives kProbeReadable or kProbeNoDuration. startProbe gives kProbeStarted, kProbeRefused
// or kProbeNotStarted. With a `server`, the probe is its request (probe_server.h), and
// pollServedTool(server, tool) stands for pollTool.
int startProbe(ToolProcess* tool, MediaInfo* info, const char* path,
               ProbeServer* server = nullptr);
int finishProbe(ToolProcess* tool, MediaInfo* info);
// Probes `path` with the prober at `programPath` and waits for it: kProbeReadable with
// `seconds` set, or kProbeNoDuration, kProbeNotStarted, kProbeRefused. The length of an
// output that is there already, say.
int probeLength(const char* programPath, const char* path, double* seconds);
// Appends a job for a probed path with currentProfile. kProbeAdded, or kProbeRefused.
int addProbedJob(const char* path, double duration);

// The prober's handlers: "\"%s\" -show_format -show_streams \"%s\"" into commandLine
// (" -show_tags" and " -show_fingerprints" before the path when asked; non-zero refuses)
// and a 1024-byte output buffer; appending the chunk; reading the duration (and what
// was asked) and releasing the output.
int probePrepare(ToolProcess* tool);
void probeOnOutput(ToolProcess* tool);
void probeFinish(ToolProcess* tool);
