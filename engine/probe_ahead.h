// Probing a list of paths with several probers at once, the outcomes handed out one by
// one in the list's order: the window's worker and the command-line converter read a
// folder of files in a fraction of the time one prober after another takes, and still
// see them in the order they were given.
#pragma once

#include "media_probe.h"

// Most probers run at once.
inline constexpr int kMaxProbesAhead = 64;

// What one probe found. `path` points into the caller's list.
struct ProbeOutcome {
    const char* path;
    int result;      // kProbeReadable, kProbeNoDuration, kProbeNotStarted or kProbeRefused
    double duration; // seconds; meaningful with kProbeReadable
    bool hasAudio;   // a stream of sound was found
    MediaDetails details; // what askProbesFor asked for
};

struct ProbeAhead;

// A read-ahead over `count` paths (the list is not copied and must outlive it) with
// `width` probers at most (clamped to 1..kMaxProbesAhead), each the program at
// `programPath`. nullptr when out of memory. Nothing runs before the first take.
ProbeAhead* createProbeAhead(const char* programPath, const char* const* paths, int count,
                             int width);
// Has every probe read `asked` too (kProbeTags, kProbeFingerprints), into each outcome's
// details. Before the first take.
void askProbesFor(ProbeAhead* ahead, unsigned asked);
// Keeps each prober running for the paths after its first (pb.dat -serve), so a long list
// pays the probers' start-up once. Before the first take.
void serveProbes(ProbeAhead* ahead);
// Waits for the outcome of the next path in order, keeping up to `width` probers busy
// meanwhile. Returns 1 with `outcome` filled, or 0 once every path was handed out.
int takeNextProbe(ProbeAhead* ahead, ProbeOutcome* outcome);
// The same without waiting, for a caller with other work in its loop: keeps up to `width`
// probers busy and reads what they printed (each running prober's look waits at most
// 1 ms) ...
void pollProbeAhead(ProbeAhead* ahead);
// ... and takes the next path's outcome when it is there: 1 with `outcome` filled, 0 when
// it is not yet, or when every path was handed out.
int takeReadyProbe(ProbeAhead* ahead, ProbeOutcome* outcome);
// The path the next take reports on, or nullptr when none is left.
const char* nextProbePath(const ProbeAhead* ahead);
// Lets go of probers still running, serving ones too (each ends when its input closes),
// and frees it.
void releaseProbeAhead(ProbeAhead* ahead);
