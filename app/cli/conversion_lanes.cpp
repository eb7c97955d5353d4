// The lanes of the command-line converter: one encoder each, over the engine's tool
// process, progress reader and job note.
#include "conversion_lanes.h"

#include "bounded_text.h"
#include "encoder_command_line.h"
#include "output_claims.h"
#include "path_exists.h"

#include <cmath>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

// The share of a job's range a clean run must reach to count as converted.
constexpr double kConvertedPercent = 88.0;

int lanePrepare(ToolProcess* tool) {
    auto* lane = static_cast<Lane*>(tool->context);
    return buildEncoderCommandLine(tool->programPath, lane->progress.job, tool->commandLine);
}

// Progress and note read the same chunks; each lane has its own note reader.
void laneOnOutput(ToolProcess* tool) {
    auto* lane = static_cast<Lane*>(tool->context);
    appendOutput(&lane->progress, tool->chunk);
    readJobNoteOutput(lane->progress.job, &lane->noteReader, tool->chunk);
    if (lane->progress.lastLine == nullptr) {
        return;
    }
    const char* time = std::strstr(lane->progress.lastLine, "time=");
    if (time != nullptr) {
        lane->progress.currentTime = readLeadingNumber(time + 5);
    }
}

void laneFinish(ToolProcess*) {}

const ToolHandlers kLaneHandlers = {lanePrepare, laneOnOutput, laneFinish};

long long outputSize(const char* path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return error ? -1 : static_cast<long long>(size);
}

void failFile(Lane* lane, PlannedFile* file, StartFailure failure) {
    noteStartFailure(file->job, failure, lane->encoder.programPath);
    file->state = FileState::Failed;
    resetEncoderProgress(&lane->progress);
    clearToolRun(&lane->encoder);
}

} // namespace

void initLane(Lane* lane, const char* programPath) {
    lane->encoder = ToolProcess{};
    copyText(lane->encoder.programPath, sizeof lane->encoder.programPath, programPath);
    lane->encoder.context = lane;
    lane->encoder.handlers = &kLaneHandlers;
    lane->progress = EncoderProgress{0, nullptr, nullptr, nullptr, 0.0};
    lane->noteReader = JobNoteReader{};
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
    return buildOutputPath(file->job, file->outputPath) == kBuildDone &&
           claimOutputPath(file->outputPath) == 0;
}

bool startLane(Lane* lane, PlannedFile* file) {
    ConversionJob* job = file->job;
    resetEncoderProgress(&lane->progress);
    clearToolRun(&lane->encoder);
    lane->stopRequested = false;
    lane->progress.job = job;
    beginJobNote(job, &lane->noteReader);
    file->outputPath[0] = '\0';
    if (job->destinationFolder[0] != '\0') {
        std::error_code error;
        std::filesystem::create_directories(job->destinationFolder, error);
        if (error) {
            char line[kNoteLineSize];
            formatText(line, sizeof line, "the output folder cannot be made: %s",
                       error.message().c_str());
            addNoteLine(job, line);
            file->state = FileState::Failed;
            return false;
        }
    }
    if (lane->encoder.handlers->prepare(&lane->encoder) != kBuildDone ||
        lastOutputPath(*job, file->outputPath) != kBuildDone ||
        claimOutputPath(file->outputPath) != 0) {
        failFile(lane, file, StartFailure::CommandRefused);
        return false;
    }
    if (startTool(&lane->encoder) == 0) {
        releaseOutputPath(file->outputPath);
        failFile(lane, file, StartFailure::NotStarted);
        return false;
    }
    file->state = FileState::Running;
    lane->file = file;
    return true;
}

int pollLane(Lane* lane) { return lane->file == nullptr ? 1 : pollTool(&lane->encoder); }

double lanePercent(const Lane* lane) {
    return lane->file == nullptr ? 0.0 : progressPercent(&lane->progress);
}

void stopLane(Lane* lane) {
    if (lane->file != nullptr && !lane->stopRequested) {
        lane->stopRequested = sendQuit(&lane->encoder) == 1;
    }
}

void finishLane(Lane* lane) {
    PlannedFile* file = lane->file;
    if (file == nullptr) {
        return;
    }
    clearToolRun(&lane->encoder);
    const double percent = progressPercent(&lane->progress);
    const bool clean = toolExitedCleanly(&lane->encoder);
    const bool whole = percent >= kConvertedPercent || std::isnan(percent);
    const bool filled = outputSize(file->outputPath) > 0;
    const bool converted = clean && whole && filled;
    finishJobNote(file->job, &lane->noteReader, &lane->encoder, percent, converted);
    if (converted) {
        file->state = FileState::Converted;
    } else if (clean && filled && lane->stopRequested) {
        file->state = FileState::Stopped;
    } else {
        file->state = FileState::Failed;
    }
    releaseOutputPath(file->outputPath);
    resetEncoderProgress(&lane->progress);
    lane->file = nullptr;
    lane->stopRequested = false;
}
