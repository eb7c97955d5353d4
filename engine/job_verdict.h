// How one job's conversion ended: one value from which both its status text and the
// reason in its note are derived.
#pragma once

#include "output_check.h"
#include "tool_process.h"

#include <cstdint>

struct ConversionJob;

// The share of a job's range a clean encoder run must reach to count as converted.
inline constexpr double kSuccessPercent = 88.0;

// How much less than the encoder's position a written file may hold before it counts as
// short: a second, or 1 % of a long file, whichever is more. A container's rounding and a
// codec's priming never come near it; a stretch of a damaged source that the decoder
// skipped, while the encoder's clock ran on, does.
inline constexpr double kShortOutputSeconds = 1.0;
inline constexpr double kShortOutputShare = 0.01;
// How far a verified output's decoded length may lie from the encoder's position: the
// 10 ms the encoder's clock is printed in, with room to spare, and two frames of 2,048
// samples (WMA's, the largest frame of the codecs written) of priming and padding.
inline constexpr double kVerifyClockSeconds = 0.1;
inline constexpr double kVerifyPaddingSamples = 4096.0;

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
    OutputShort,      // a converted run whose file holds less than the encoder's position
    OutputUnverified, // asked to verify: the file does not decode cleanly to its position
    OutputNotPlaced,  // converted under a temporary name, but it could not be put in place
};

struct JobVerdict {
    ConversionJob* job = nullptr;
    JobOutcome outcome = JobOutcome::NotStarted;
    // The exit status or signal number for the two encoder failures; for FolderRefused the
    // system's error code when the folder could not be made, 0 when it refuses new files.
    std::int32_t status = 0;
    double percent = 0.0; // of the range reached; NaN when the range gives no number
    // For the two output outcomes: the encoder's position at its end, what the file holds
    // (recorded, or decoded when verified; -1 when unknown), and the decode's errors with
    // libav's words for the first.
    double reachedSeconds = 0.0;
    double outputSeconds = -1.0;
    std::int64_t decodeErrors = 0;
    char decodeError[kDecodeErrorSize] = {};
};

// The verdict on an encoder run that has ended: how `encoder` exited, the percentage it
// reached (a range that gives no ordered percentage counts as reached), the size of the
// output file it was started with (-1 when there is none) and whether it was asked to stop.
JobVerdict judgeEncoderRun(ConversionJob* job, const ToolProcess& encoder, double percent,
                           std::int64_t outputSize, bool stopRequested);
// Judges what a converted job's file holds (`check`, pb.dat's answer; empty when none was
// had) against the position the encoder reached: a recorded length that falls short makes
// it OutputShort; when `verified` was asked for, the decode must have run, found no error
// and come to the position within the codec's padding (else OutputShort when it falls
// short, OutputUnverified otherwise). An unknown length leaves an unverified job as it
// was. Any other verdict stays as it is.
void judgeWrittenOutput(JobVerdict* verdict, const OutputCheck& check, double reachedSeconds,
                        bool verified);
// "Success!" for a converted job, "FATAL!" for one the encoder never started, else
// "Failed!".
const char* verdictStatusText(JobOutcome outcome);
