// The jobs to convert and the lanes that convert them, one encoder per lane: a front end
// hands jobs over (all at once, or over time while it is still reading files), calls the
// steps below from its own timer or loop, and shows what the queue reports through its
// JobRunView. The queue starts the next job, polls every lane, finishes and judges, takes
// a stop request, makes missing output folders when asked, and keeps the names its
// running encoders hold, so that two lanes never write one file.
#pragma once

#include "conversion_run.h"
#include "output_name.h"

#include <cstddef>
#include <memory>
#include <vector>

// Most lanes of one queue: one per core of a large machine; beyond that, encoders only
// compete for the same cores (and the same disk).
inline constexpr int kMaxLanes = 64;

struct QueueOptions {
    int lanes = 1; // encoders at once, 1..kMaxLanes
    // Makes a job's missing destination folder before it starts (the command-line
    // converter recreates a tree); the window never creates a folder.
    bool createFolders = false;
    // A folder that refuses new files fails its job and the next one starts (the
    // command-line converter); otherwise the queue stops there (the window).
    bool goOnAtRefusedFolder = false;
    // Each output is written under a hidden temporary name in its folder and put in place
    // only when its verdict is "converted", so no crash leaves a part under a final name
    // (the command-line converter); the window writes under the final name.
    bool temporaryOutputs = false;
    // With temporary outputs, a stopped job's shorter file is kept under a name of its own
    // ("song (stopped).mp3"); otherwise it is dropped (a sync converts it again).
    bool keepStoppedOutputs = false;
};

// Initialise in place and never copy: each lane's encoder points into the lane, and each
// lane at the queue's claims.
struct ConversionQueue {
    QueueOptions options;
    JobRunView* view;                 // may be nullptr
    std::vector<ConversionJob*> jobs; // in the order they were handed over; not owned
    std::size_t next = 0;             // the first job not yet looked at
    int done = 0;                     // jobs that ended, never started or were skipped
    bool closed = false;              // no more jobs will be handed over
    bool stopped = false;             // no job starts any more (a stop, a refused folder)
    OutputClaims claims;              // the output paths the running lanes write
    std::unique_ptr<ConversionRun[]> lanes;
};

// Sets the queue up with `options.lanes` lanes (clamped to 1..kMaxLanes), no program yet.
void initConversionQueue(ConversionQueue* queue, const QueueOptions& options, JobRunView* view);
// Every lane's encoder is folder + separator + fileName (cv.dat). Returns 0, or -1 when
// it does not fit (the programs are then empty and every start fails).
int setQueueProgram(ConversionQueue* queue, const char* folder, const char* fileName);
// The lane at `index` (0 .. lanes - 1).
ConversionRun& queueLane(ConversionQueue* queue, int index);

// Empties the queue for a new run: no jobs, nothing claimed, no stop. Only while no lane
// runs.
void clearQueue(ConversionQueue* queue);
// Hands a job over (not owned; it must outlive the queue's use of it).
void appendQueuedJob(ConversionQueue* queue, ConversionJob* job);
// No more jobs will come: once the last has ended, the queue is finished.
void closeQueue(ConversionQueue* queue);

// Starts jobs in order on the free lanes until every lane runs or no job is left to start.
// A job the front end skips, or that cannot start, gets its verdict on the way (and
// counts as done). Started when a lane runs afterwards; FolderNotWritable when the queue
// stopped at a folder that refuses new files (the view heard of it); else NoJobLeft.
RunStart startQueuedJobs(ConversionQueue* queue);
// Polls every running lane; each whose encoder has ended is finished and judged, its
// verdict reported and its name given up. Returns how many ended.
int finishEndedJobs(ConversionQueue* queue);
// Reports every running job's percentage.
void showQueueProgress(ConversionQueue* queue);
// Asks every running encoder to finish what it has written and end ("q"); no job starts
// any more. Returns how many encoders run.
int stopQueue(ConversionQueue* queue);
// Encoders running now.
int runningJobs(const ConversionQueue* queue);
// True when nothing runs and nothing will: closed and every job looked at, or stopped.
bool queueFinished(const ConversionQueue* queue);
// Returns when a running encoder printed something or ended, a signal arrived, or after
// at most `milliseconds`; at once when no encoder runs.
void waitForQueue(const ConversionQueue* queue, int milliseconds);

// True when the job's output path before any counter (sourceOutputPath) is taken: it
// exists, or a lane of this queue writes it. False when no path can be composed (the
// start then says why).
bool outputNameTaken(const ConversionQueue* queue, const ConversionJob& job);
// The output path the job would be written to now, claimed for the queue's life (a dry
// run's plan, so the next job plans another name). Returns 0, or kBuildRefused when no
// path can be composed.
int planOutputPath(ConversionQueue* queue, ConversionJob* job, char* path /* kPathSize */);

// Lets running encoders go (each finishes its file on its own) and empties the queue.
void releaseConversionQueue(ConversionQueue* queue);
