// The conversion of jobs one at a time by one encoder: start a job (output folder test,
// command line, start), poll it, finish it with its verdict. A queue (conversion_queue.h)
// drives one run record per lane; the records share nothing but the queue's claimed names.
#pragma once

#include "conversion_job.h"
#include "encoder_progress.h"
#include "job_note.h"
#include "job_run_view.h"
#include "job_verdict.h"
#include "output_check.h"
#include "probe_server.h"
#include "tool_process.h"

// One encoder and what it needs between the steps of converting a job. The encoder's
// context points into the record: initialise it in place and never copy it.
struct ConversionRun {
    ToolProcess encoder;        // programPath set once with setToolProgram
    EncoderProgress progress;   // of the job converting
    JobNoteReader noteReader;   // fed the same lines as progress
    ConversionJob* job;         // the job converting; nullptr when none is
    char outputPath[kPathSize]; // the job's output file, composed when it started
    JobRunView* view;           // where progress, verdicts and notes go; may be nullptr
    bool stopRequested;         // the running job's encoder was asked to stop
    // pb.dat asked once the encoder has ended how long the written file is, or (verify)
    // to decode it; no check is made while its programPath is empty. The lane's server
    // answers it (started with the lane's first job, so its start-up is paid while that
    // encoder works), or a pb.dat of its own when the server cannot serve.
    ToolProcess checker;
    ProbeServer checkServer;
    OutputCheck check;    // the checker's context
    bool verify;          // decode the whole output instead of reading its recorded length
    bool encoderEnded;    // its end was seen, and the check asked when the run was clean
    bool checkAsked;      // the checker was asked about the file
    bool checkAnswered;   // ... and its answer is all in
    // The encoder writes under a temporary name beside finalPath (output_temporary.h); the
    // verdict puts the file in place (JobRunView::placeOutput), keeps a stopped or short
    // one under a name of its own when keepStoppedOutputs, else drops it. Set by the queue.
    bool temporaryOutputs;
    bool keepStoppedOutputs;
    char finalPath[kPathSize]; // with temporaryOutputs: where the whole file goes
};

// How a start went.
enum class RunStart {
    Started,           // the encoder runs for the job
    NoJobLeft,         // no job was given, or none of them could be started
    FolderNotWritable, // the job's output folder refuses new files: nothing was started
    CouldNotStart,     // the job never ran; its verdict is out ("FATAL!" and the reason)
};

// The path the running job's output ends up at: finalPath with temporary outputs, else
// outputPath.
const char* runOutputPath(const ConversionRun& run);
// Empties the record and wires its encoder (handlers, context, note); no program yet.
void initConversionRun(ConversionRun* run, JobRunView* view);
// Starts the encoder for `job`. On FolderNotWritable, `folder` (kPathSize) holds the
// folder that refused, for the front end to name; the job is left as it was.
RunStart startJob(ConversionRun* run, ConversionJob* job, char* folder /* kPathSize */);
// Gives `job`, which never ran, the verdict `outcome` (with `status`, see JobVerdict) and
// reports it with its note; the run stays free.
JobVerdict refuseJob(ConversionRun* run, ConversionJob* job, JobOutcome outcome,
                     std::int32_t status = 0);
// Reads what the encoder printed; once it has ended cleanly, asks the checker about the
// file and reads its answer (a recorded length comes in milliseconds and is waited for
// here; a decode is not). Returns 1 once both are done (or when nothing runs), 0 while
// either runs.
int pollRun(ConversionRun* run);
// The pipe an asked check answers on, for a front end's wait; kNoPipe when none.
PipeHandle runCheckPipe(const ConversionRun& run);
// Reports the running job's percentage (and its text "%05.2f%%", "39.71%" in any locale)
// and returns it; 0 when no job converts.
float showRunProgress(ConversionRun* run);
// Asks the encoder to finish its file and end ("q"). Returns 1 when the request went out.
int requestStop(ConversionRun* run);
// After pollRun returned 1: judges the job by how the encoder ended, the share it reached,
// the output file it was started with, whether it was asked to stop, and what the
// checker found the file to hold; reports the verdict and the note. The run is then free for
// another job. The verdict names no job when none was converting.
JobVerdict finishJob(ConversionRun* run);
// Lets a running encoder go (its input closes, so it finishes its file and ends on its
// own; it is never killed) and the checking server too, and releases the record's buffers.
void releaseConversionRun(ConversionRun* run);
