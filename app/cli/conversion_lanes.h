// Several files converted at once: each lane is one conversion run of the engine, one
// encoder converting one file. Lanes never pick the same output name: the name a lane's
// encoder was started with is claimed until it ends, and a claimed name counts as taken
// (its file may not exist yet).
#pragma once

#include "conversion_run.h"

#include <cmath>
#include <string>

// How one file of the run ends up.
enum class FileState {
    Waiting, // probed, not started yet
    Running,
    Converted,
    Failed,  // the reason is in the job's note, or in `failure` for a file without a job
    Stopped, // ended early on an interrupt: a valid, shorter file
    Skipped, // not converted on purpose; `skipReason` says why
};

// A file to convert and what became of it.
struct PlannedFile {
    std::string path;
    ConversionJob* job = nullptr; // owned; its destinationFolder set
    FileState state = FileState::Waiting;
    const char* skipReason = "";
    std::string failure;
    std::string outputPath; // composed when its encoder started (a library can be large)
    double outputSeconds = std::nan(""); // of sound written, as far as the encoder got
};

struct Lane {
    ConversionRun run; // initialised in place: its encoder points into it
    PlannedFile* file; // nullptr when the lane is free
    bool stopRequested;
};

// Empties the lane and wires its encoder to `programPath` (cv.dat).
void initLane(Lane* lane, const char* programPath);
// True when the file's output name, without a counter, exists or is claimed by a lane.
bool outputNameTaken(const ConversionJob& job);
// The output path the file would be written to now, claimed for the rest of the
// process (a dry run's plan). False when no path can be composed.
bool planOutputPath(PlannedFile* file);
// Creates the file's output folder and starts its encoder. False when it could not
// start: the file is then Failed with the reason in its note, and the lane stays free.
bool startLane(Lane* lane, PlannedFile* file);
// Reads what the encoder printed; 1 once it has ended (or when the lane is free).
int pollLane(Lane* lane);
// The running file's share of its range converted so far, in percent (0 when free).
double lanePercent(const Lane* lane);
// Waits until an encoder of a busy lane has printed something or ended, at most
// `milliseconds`: a file that ends is seen at once, and the next one starts.
void waitForLanes(const Lane* lanes, int count, int milliseconds);
// Asks the encoder to finish what it has written and end ("q").
void stopLane(Lane* lane);
// After pollLane gave 1: the engine's verdict makes the file Converted, Stopped (ended
// early after a stop request) or Failed with its note; its output name is given up and
// the lane is free.
void finishLane(Lane* lane);
