// How one job's conversion ended: one value from which both its status text and the
// reason in its note are derived.
#pragma once

#include "tool_process.h"

#include <cstdint>

struct ConversionJob;

// The share of a job's range a clean encoder run must reach to count as converted.
inline constexpr double kSuccessPercent = 88.0;

enum class JobOutcome : std::int32_t {
    Converted,        // clean exit, 88 % of the range reached, output file filled
    Stopped,          // clean exit short of 88 % after a stop request: a valid, shorter file
    StoppedEarly,     // clean exit short of 88 % unasked (the source held less than it said)
    EncoderFailed,    // the encoder exited with a non-zero status
    EncoderSignalled, // the encoder was ended by a signal (or crashed)
    OutputMissing,    // a clean, whole run that left no output file, or an empty one
    CommandRefused,   // never started: the output path or the command line could not be composed
    NotStarted,       // never started: the encoder program did not run
    FolderRefused,    // never started: the output folder could not be made or refuses files
    OutputNotPlaced,  // converted under a temporary name, but it could not be put in place
};

struct JobVerdict {
    ConversionJob* job = nullptr;
    JobOutcome outcome = JobOutcome::NotStarted;
    // The exit status or signal number for the two encoder failures; for FolderRefused the
    // system's error code when the folder could not be made, 0 when it refuses new files.
    std::int32_t status = 0;
    double percent = 0.0; // of the range reached; NaN when the range gives no number
};

// The verdict on an encoder run that has ended: how `encoder` exited, the percentage it
// reached (a range that gives no ordered percentage counts as reached), the size of the
// output file it was started with (-1 when there is none) and whether it was asked to stop.
JobVerdict judgeEncoderRun(ConversionJob* job, const ToolProcess& encoder, double percent,
                           std::int64_t outputSize, bool stopRequested);
// "Success!" for a converted job, "FATAL!" for one the encoder never started, else
// "Failed!".
const char* verdictStatusText(JobOutcome outcome);
