// One job after another through one encoder: the steps a front end calls from its timers.
#include "conversion_run.h"

#include "classic_numbers.h"
#include "encoder_command_line.h"
#include "file_size.h"
#include "folder_writable.h"

namespace {

void showVerdict(ConversionRun* run, const JobVerdict& verdict) {
    finishJobNote(verdict, &run->noteReader, run->encoder.programPath);
    if (run->view != nullptr && verdict.job != nullptr) {
        run->view->showJobStatus(*verdict.job, verdictStatusText(verdict.outcome));
        run->view->showJobNote(*verdict.job);
    }
}

// A job that never ran gets its verdict at once; the run stays free.
RunStart refuseStart(ConversionRun* run, ConversionJob* job, JobOutcome outcome) {
    JobVerdict verdict;
    verdict.job = job;
    verdict.outcome = outcome;
    showVerdict(run, verdict);
    resetEncoderProgress(&run->progress);
    clearToolRun(&run->encoder);
    return RunStart::CouldNotStart;
}

} // namespace

void initConversionRun(ConversionRun* run, JobRunView* view) {
    *run = {};
    run->encoder.context = &run->progress;
    run->encoder.handlers = &kEncoderHandlers;
    run->progress.note = &run->noteReader;
    run->view = view;
}

RunStart startJob(ConversionRun* run, ConversionJob* job, char* folder) {
    folder[0] = '\0';
    resetEncoderProgress(&run->progress);
    clearToolRun(&run->encoder);
    run->job = nullptr;
    run->outputPath[0] = '\0';
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
    if (run->encoder.handlers->prepare(&run->encoder) != kBuildDone ||
        lastOutputPath(*job, run->outputPath) != kBuildDone)
        return refuseStart(run, job, JobOutcome::CommandRefused);
    if (startTool(&run->encoder) == 0)
        return refuseStart(run, job, JobOutcome::NotStarted);
    run->job = job;
    return RunStart::Started;
}

RunStart startNextJob(ConversionRun* run, ConversionJob* job, char* folder) {
    for (; job != nullptr; job = job->next) {
        const RunStart start = startJob(run, job, folder);
        if (start != RunStart::CouldNotStart)
            return start;
    }
    folder[0] = '\0';
    return RunStart::NoJobLeft;
}

int pollRun(ConversionRun* run) {
    return pollTool(&run->encoder);
}

float showRunProgress(ConversionRun* run) {
    if (run->job == nullptr)
        return 0.0f;
    const float percent = static_cast<float>(progressPercent(&run->progress));
    char text[kClockTextSize];
    printClassic(text, sizeof text, "%05.2f%%", static_cast<double>(percent));
    if (run->view != nullptr)
        run->view->showJobStatus(*run->job, text);
    return percent;
}

int requestStop(ConversionRun* run) {
    return sendQuit(&run->encoder);
}

JobVerdict finishJob(ConversionRun* run) {
    run->encoder.handlers->finish(&run->encoder);
    clearToolRun(&run->encoder);
    ConversionJob* job = run->job;
    run->job = nullptr;
    if (job == nullptr)
        return JobVerdict{};
    const JobVerdict verdict = judgeEncoderRun(job, run->encoder, progressPercent(&run->progress),
                                               regularFileSize(run->outputPath));
    showVerdict(run, verdict);
    return verdict;
}

void releaseConversionRun(ConversionRun* run) {
    clearToolRun(&run->encoder);
    resetEncoderProgress(&run->progress);
    run->job = nullptr;
}
