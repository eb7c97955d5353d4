// The one judgement of a finished job, and the status text it shows as.
#include "job_verdict.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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

void judgeWrittenOutput(JobVerdict* verdict, const OutputCheck& check, double reachedSeconds,
                        bool verified) {
    if (verdict->outcome != JobOutcome::Converted)
        return;
    verdict->reachedSeconds = reachedSeconds;
    verdict->outputSeconds = verified ? decodedSeconds(check) : check.length;
    if (!verified) {
        const double allowed = std::max(kShortOutputSeconds, kShortOutputShare * reachedSeconds);
        if (verdict->outputSeconds >= 0.0 && reachedSeconds - verdict->outputSeconds > allowed)
            verdict->outcome = JobOutcome::OutputShort;
        return;
    }
    verdict->decodeErrors = check.errors;
    std::memcpy(verdict->decodeError, check.firstError, sizeof verdict->decodeError);
    if (verdict->outputSeconds < 0.0 || check.errors != 0) {
        verdict->outcome = JobOutcome::OutputUnverified;
        return;
    }
    const double padding = kVerifyClockSeconds + kVerifyPaddingSamples / check.sampleRate;
    if (reachedSeconds - verdict->outputSeconds > padding)
        verdict->outcome = JobOutcome::OutputShort;
    else if (verdict->outputSeconds - reachedSeconds > padding)
        verdict->outcome = JobOutcome::OutputUnverified;
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
