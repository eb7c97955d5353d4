// One job after another through one encoder: the steps a queue calls for each lane.
#include "conversion_run.h"

#include "bounded_text.h"
#include "classic_numbers.h"
#include "encoder_command_line.h"
#include "file_size.h"
#include "folder_writable.h"
#include "output_placement.h"
#include "output_temporary.h"

#include <cstdio>

#include <chrono>

namespace {

// pb.dat reads a recorded length in about 4 ms once asked; waiting this long for it in
// the poll that saw the encoder end spares the front end a turn of its timer. A disk that
// keeps it longer is waited for by later polls.
constexpr std::chrono::milliseconds kLengthAnswerWait{100};

// Composes the check of the file the job writes, and has the lane's server start now if
// it does not run, so that it has loaded by the time the encoder ends. A check that
// cannot be composed leaves the verdict to the encoder's run alone.
void prepareOutputCheck(ConversionRun* run) {
    clearToolRun(&run->checker);
    run->encoderEnded = false;
    run->checkAsked = false;
    run->checkAnswered = false;
    beginOutputCheck(&run->check, run->outputPath,
                     run->verify ? OutputCheckKind::Decode : OutputCheckKind::Length);
    if (run->checker.programPath[0] == '\0' || run->checker.handlers->prepare(&run->checker) != 0) {
        clearToolRun(&run->checker);
        return;
    }
    startProbeServer(&run->checkServer, run->checker.programPath);
}

// Reads what the check has answered; 1 once it is all in (or when none was asked).
int pollOutputCheck(ConversionRun* run) {
    if (!run->checkAsked || run->checkAnswered)
        return 1;
    run->checkAnswered = pollServedTool(&run->checkServer, &run->checker) == 1;
    return run->checkAnswered ? 1 : 0;
}

// The encoder has ended: the file is checked when the run was clean.
void askOutputCheck(ConversionRun* run) {
    run->encoderEnded = true;
    if (run->checker.commandLine[0] == '\0' || !toolExitedCleanly(&run->encoder))
        return;
    if (startServedTool(&run->checkServer, &run->checker) == 0) {
        clearToolRun(&run->checker);
        return;
    }
    run->checkAsked = true;
    if (run->check.kind != OutputCheckKind::Length)
        return;
    const auto until = std::chrono::steady_clock::now() + kLengthAnswerWait;
    while (pollOutputCheck(run) == 0 && std::chrono::steady_clock::now() < until) {
    }
}

void showVerdict(ConversionRun* run, const JobVerdict& verdict) {
    finishJobNote(verdict, &run->noteReader, run->encoder.programPath);
    if (run->view != nullptr && verdict.job != nullptr) {
        run->view->jobEnded(verdict);
        run->view->showJobNote(*verdict.job);
    }
}

// A job that never ran gets its verdict at once; the run stays free.
RunStart refuseStart(ConversionRun* run, ConversionJob* job, JobOutcome outcome) {
    refuseJob(run, job, outcome);
    return RunStart::CouldNotStart;
}

// Composes the line for a job whose encoder writes under a temporary name: the final path
// is the front end's choice or the naming rule's, the temporary one beside it.
bool prepareTemporaryOutput(ConversionRun* run, ConversionJob* job) {
    const char* chosen = run->view != nullptr ? run->view->outputPathFor(*job) : nullptr;
    const bool named =
        chosen != nullptr
            ? copyText(run->finalPath, sizeof run->finalPath, chosen) == 0
            : buildOutputPath(job, run->finalPath, run->progress.claims) == kBuildDone;
    return named &&
           temporaryOutputPath(run->finalPath, run->outputPath, sizeof run->outputPath) == 0 &&
           buildEncoderCommandLineTo(run->encoder.programPath, job, run->outputPath,
                                     run->encoder.commandLine) == kBuildDone;
}

// With temporary outputs: a converted file goes in place (the verdict turns into
// OutputNotPlaced when it cannot), a stopped one is kept under a name of its own or
// dropped, any other is dropped. Only a whole file ever has a final name.
void settleTemporaryOutput(ConversionRun* run, JobVerdict* verdict) {
    bool keep = false;
    if (verdict->outcome == JobOutcome::Converted) {
        keep = run->view != nullptr ? run->view->placeOutput(*verdict->job, run->outputPath,
                                                             run->finalPath, run->progress.claims)
                                    : placeWholeOutput(verdict->job, run->outputPath,
                                                       run->finalPath, run->progress.claims);
        if (!keep) {
            verdict->outcome = JobOutcome::OutputNotPlaced;
        }
    } else if (run->keepStoppedOutputs && (verdict->outcome == JobOutcome::Stopped ||
                                           verdict->outcome == JobOutcome::OutputShort)) {
        // A short file is the user's to judge, as a stopped one is: kept, under its own name.
        keep = keepShorterOutput(*verdict->job, run->outputPath,
                                 verdict->outcome == JobOutcome::Stopped ? "stopped" : "short",
                                 run->finalPath, run->progress.claims);
    }
    if (!keep) {
        std::remove(run->outputPath); // gone already when the encoder failed before writing
    }
}

} // namespace

const char* runOutputPath(const ConversionRun& run) {
    return run.temporaryOutputs ? run.finalPath : run.outputPath;
}

JobVerdict refuseJob(ConversionRun* run, ConversionJob* job, JobOutcome outcome,
                     std::int32_t status) {
    JobVerdict verdict;
    verdict.job = job;
    verdict.outcome = outcome;
    verdict.status = status;
    showVerdict(run, verdict);
    resetEncoderProgress(&run->progress);
    clearToolRun(&run->encoder);
    return verdict;
}

void initConversionRun(ConversionRun* run, JobRunView* view) {
    *run = {};
    run->encoder.context = &run->progress;
    run->encoder.handlers = &kEncoderHandlers;
    run->checker.context = &run->check;
    run->checker.handlers = &kOutputCheckHandlers;
    initProbeServer(&run->checkServer);
    run->progress.note = &run->noteReader;
    run->view = view;
}

RunStart startJob(ConversionRun* run, ConversionJob* job, char* folder) {
    folder[0] = '\0';
    resetEncoderProgress(&run->progress);
    clearToolRun(&run->encoder);
    run->job = nullptr;
    run->outputPath[0] = '\0';
    run->finalPath[0] = '\0';
    run->stopRequested = false;
    if (job == nullptr)
        return RunStart::NoJobLeft;
    if (outputFolder(*job, folder) != kBuildDone)
        return refuseStart(run, job, JobOutcome::CommandRefused);
    if (!folderIsWritable(folder))
        return RunStart::FolderNotWritable;

    run->progress.job = job;
    beginJobNote(job, &run->noteReader);
    if (run->view != nullptr)
        run->view->showJobNote(*job);
    // A refused command line (a path that does not fit or cannot be quoted) is never
    // started, like a missing encoder. The output path is kept as composed now: a
    // destination chosen while the job runs applies to later jobs, not to this file.
    const bool composed = run->temporaryOutputs
                              ? prepareTemporaryOutput(run, job)
                              : run->encoder.handlers->prepare(&run->encoder) == kBuildDone &&
                                    lastOutputPath(*job, run->outputPath) == kBuildDone;
    if (!composed)
        return refuseStart(run, job, JobOutcome::CommandRefused);
    if (startTool(&run->encoder) == 0)
        return refuseStart(run, job, JobOutcome::NotStarted);
    prepareOutputCheck(run);
    run->job = job;
    if (run->view != nullptr)
        run->view->jobStarted(*job, runOutputPath(*run));
    return RunStart::Started;
}

int pollRun(ConversionRun* run) {
    if (!run->encoderEnded) {
        if (pollTool(&run->encoder) == 0)
            return 0;
        askOutputCheck(run);
    }
    return pollOutputCheck(run);
}

PipeHandle runCheckPipe(const ConversionRun& run) {
    if (!run.checkAsked || run.checkAnswered)
        return kNoPipe;
    return servedToolPipe(&run.checkServer, &run.checker);
}

float showRunProgress(ConversionRun* run) {
    if (run->job == nullptr)
        return 0.0f;
    const float percent = static_cast<float>(progressPercent(&run->progress));
    char text[kClockTextSize];
    printClassic(text, sizeof text, "%05.2f%%", static_cast<double>(percent));
    if (run->view != nullptr)
        run->view->jobProgress(*run->job, percent, text);
    return percent;
}

int requestStop(ConversionRun* run) {
    const int sent = sendQuit(&run->encoder);
    run->stopRequested = run->stopRequested || sent == 1;
    return sent;
}

JobVerdict finishJob(ConversionRun* run) {
    run->encoder.handlers->finish(&run->encoder);
    clearToolRun(&run->encoder);
    // The checker's whole answer, or none when it was never asked.
    if (run->checkAnswered)
        run->checker.handlers->finish(&run->checker);
    else
        readOutputCheckAnswer("", &run->check);
    clearToolRun(&run->checker);
    run->encoderEnded = false;
    run->checkAsked = false;
    run->checkAnswered = false;
    ConversionJob* job = run->job;
    run->job = nullptr;
    if (job == nullptr)
        return JobVerdict{};
    // Every check of a finished run's output belongs in its verdict, here.
    JobVerdict verdict = judgeEncoderRun(job, run->encoder, progressPercent(&run->progress),
                                         regularFileSize(run->outputPath), run->stopRequested);
    judgeWrittenOutput(&verdict, run->check, run->progress.currentTime, run->verify);
    if (run->temporaryOutputs)
        settleTemporaryOutput(run, &verdict);
    run->stopRequested = false;
    showVerdict(run, verdict);
    return verdict;
}

void releaseConversionRun(ConversionRun* run) {
    clearToolRun(&run->encoder);
    clearToolRun(&run->checker);
    stopProbeServer(&run->checkServer);
    run->encoderEnded = false;
    run->checkAsked = false;
    run->checkAnswered = false;
    resetEncoderProgress(&run->progress);
    run->job = nullptr;
    run->stopRequested = false;
}
