// The one judgement of a finished job, and the status text it shows as.
#include "job_verdict.h"

#include <cmath>

JobVerdict judgeEncoderRun(ConversionJob* job, const ToolProcess& encoder, double percent,
                           std::int64_t outputSize, bool stopRequested) {
    JobVerdict verdict;
    verdict.job = job;
    verdict.percent = percent;
    verdict.status = encoder.exitStatus;
    // A crash or failure is never a success, whatever the encoder printed before it.
    if (encoder.endedBySignal)
        verdict.outcome = JobOutcome::EncoderSignalled;
    else if (encoder.exitStatus != 0)
        verdict.outcome = JobOutcome::EncoderFailed;
    else if (!(percent >= kSuccessPercent || std::isnan(percent)))
        verdict.outcome = stopRequested ? JobOutcome::Stopped : JobOutcome::StoppedEarly;
    else if (outputSize <= 0) // the folder was removed, or the encoder wrote nothing
        verdict.outcome = JobOutcome::OutputMissing;
    else
        verdict.outcome = JobOutcome::Converted;
    if (verdict.outcome != JobOutcome::EncoderSignalled &&
        verdict.outcome != JobOutcome::EncoderFailed)
        verdict.status = 0;
    return verdict;
}

const char* verdictStatusText(JobOutcome outcome) {
    switch (outcome) {
    case JobOutcome::Converted:
        return "Success!";
    case JobOutcome::CommandRefused:
    case JobOutcome::NotStarted:
        return "FATAL!";
    default:
        return "Failed!";
    }
}
