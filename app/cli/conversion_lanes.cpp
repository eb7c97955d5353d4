// The lanes of the command-line converter: one engine conversion run each.
#include "conversion_lanes.h"

#include "bounded_text.h"
#include "cli_options.h"
#include "encoder_command_line.h"
#include "output_claims.h"
#include "path_exists.h"

#include <poll.h>

#include <cmath>
#include <filesystem>
#include <system_error>

void initLane(Lane* lane, const char* programPath) {
    initConversionRun(&lane->run, nullptr); // the lines are printed from the verdicts
    copyText(lane->run.encoder.programPath, sizeof lane->run.encoder.programPath, programPath);
    lane->file = nullptr;
    lane->stopRequested = false;
}

bool outputNameTaken(const ConversionJob& job) {
    char folder[kPathSize];
    char path[kPathSize];
    const char* extension = job.profile == nullptr ? nullptr : selectedExtension(*job.profile);
    if (extension == nullptr || outputFolder(job, folder) != kBuildDone ||
        formatText(path, sizeof path, "%s%s%s", folder, job.sourceBaseName, extension) != 0) {
        return false; // no name at all: the start says why
    }
    return pathExists(path) || outputPathClaimed(path);
}

bool planOutputPath(PlannedFile* file) {
    char path[kPathSize];
    if (buildOutputPath(file->job, path) != kBuildDone || claimOutputPath(path) != 0) {
        return false;
    }
    file->outputPath = path;
    return true;
}

bool startLane(Lane* lane, PlannedFile* file) {
    ConversionJob* job = file->job;
    file->outputPath.clear();
    lane->stopRequested = false;
    if (job->destinationFolder[0] != '\0') {
        std::error_code error;
        std::filesystem::create_directories(job->destinationFolder, error);
        if (error) {
            job->note[0] = '\0';
            char line[kNoteLineSize];
            formatText(line, sizeof line, "the output folder cannot be made: %s",
                       error.message().c_str());
            addNoteLine(job, line);
            file->state = FileState::Failed;
            return false;
        }
    }
    char folder[kPathSize];
    const RunStart start = startJob(&lane->run, job, folder);
    if (start == RunStart::Started) {
        file->outputPath = lane->run.outputPath;
        claimOutputPath(lane->run.outputPath);
        file->state = FileState::Running;
        lane->file = file;
        return true;
    }
    if (start == RunStart::FolderNotWritable) {
        job->note[0] = '\0';
        char line[kNoteLineSize];
        formatText(line, sizeof line, "the output folder refuses new files: %s", folder);
        addNoteLine(job, line);
    }
    // CouldNotStart: the run has written why into the job's note already.
    file->state = FileState::Failed;
    return false;
}

int pollLane(Lane* lane) {
    return lane->file == nullptr ? 1 : pollRun(&lane->run);
}

double lanePercent(const Lane* lane) {
    return lane->file == nullptr ? 0.0 : progressPercent(&lane->run.progress);
}

void waitForLanes(const Lane* lanes, int count, int milliseconds) {
    pollfd pipes[kMaxJobs];
    nfds_t watched = 0;
    for (int i = 0; i < count && watched < kMaxJobs; ++i) {
        if (lanes[i].file != nullptr && lanes[i].run.encoder.outputRead != kNoPipe) {
            pipes[watched++] = pollfd{lanes[i].run.encoder.outputRead, POLLIN, 0};
        }
    }
    // An interrupt ends the wait early (EINTR), which is just what the loop wants.
    poll(pipes, watched, milliseconds);
}

void stopLane(Lane* lane) {
    if (lane->file != nullptr && !lane->stopRequested) {
        lane->stopRequested = requestStop(&lane->run) == 1;
    }
}

void finishLane(Lane* lane) {
    PlannedFile* file = lane->file;
    if (file == nullptr) {
        return;
    }
    const JobVerdict verdict = finishJob(&lane->run);
    if (std::isfinite(verdict.percent)) {
        file->outputSeconds = verdict.percent / 100.0 * (file->job->trimEnd - file->job->trimStart);
    }
    if (verdict.outcome == JobOutcome::Converted) {
        file->state = FileState::Converted;
    } else if (verdict.outcome == JobOutcome::StoppedEarly && lane->stopRequested) {
        file->state = FileState::Stopped;
    } else {
        file->state = FileState::Failed;
    }
    releaseOutputPath(file->outputPath.c_str());
    lane->file = nullptr;
    lane->stopRequested = false;
}
