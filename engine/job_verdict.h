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
    StoppedEarly,     // clean exit short of 88 % (a stop request, or output that ended)
    EncoderFailed,    // the encoder exited with a non-zero status
    EncoderSignalled, // the encoder was ended by a signal (or crashed)
    OutputMissing,    // a clean, whole run that left no output file, or an empty one
    CommandRefused,   // never started: the output path or the command line could not be composed
    NotStarted,       // never started: the encoder program did not run
};

struct JobVerdict {
    ConversionJob* job = nullptr;
    JobOutcome outcome = JobOutcome::NotStarted;
    std::int32_t status = 0; // the exit status or signal number for the two encoder failures
    double percent = 0.0;    // of the range reached; NaN when the range gives no number
};

// The verdict on an encoder run that has ended: how `encoder` exited, the percentage it
// reached (a range that gives no ordered percentage counts as reached) and the size of
// the output file it was started with (-1 when there is none).
JobVerdict judgeEncoderRun(ConversionJob* job, const ToolProcess& encoder, double percent,
                           std::int64_t outputSize);
// "Success!" for a converted job, "FATAL!" for one that never started, else "Failed!".
const char* verdictStatusText(JobOutcome outcome);
