// Composing --json's lines from the files' states.
#include "run_events.h"

#include "conversion_job.h"
#include "json_line.h"

#include <cmath>

namespace {

const char* outcomeOf(const PlannedFile& file, bool dryRun) {
    switch (file.state) {
    case FileState::Converted:
        return "converted";
    case FileState::Failed:
        return "failed";
    case FileState::Stopped:
        return "stopped";
    case FileState::Skipped:
        return "skipped";
    case FileState::Waiting:
    case FileState::Running:
        break;
    }
    return dryRun ? "planned" : "not_started";
}

} // namespace

RunCounts countFiles(const std::vector<PlannedFile>& files) {
    RunCounts counts;
    for (const PlannedFile& file : files) {
        counts.converted += file.state == FileState::Converted;
        counts.failed += file.state == FileState::Failed;
        counts.stopped += file.state == FileState::Stopped;
        counts.skipped += file.state == FileState::Skipped;
        counts.waiting += file.state == FileState::Waiting;
    }
    return counts;
}

std::string fileEvent(const PlannedFile& file, const std::string& reason, bool dryRun) {
    JsonLine line;
    addJsonString(&line, "event", "file");
    addJsonString(&line, "source", file.path);
    if (file.outputPath.empty() || file.state == FileState::Failed ||
        file.state == FileState::Skipped) {
        addJsonNull(&line, "output");
    } else {
        addJsonString(&line, "output", file.outputPath);
    }
    addJsonString(&line, "outcome", outcomeOf(file, dryRun));
    if (reason.empty()) {
        addJsonNull(&line, "reason");
    } else {
        addJsonString(&line, "reason", reason);
    }
    const double length = file.job == nullptr ? NAN : file.job->trimEnd - file.job->trimStart;
    addJsonSeconds(&line, "source_seconds", length);
    addJsonSeconds(&line, "output_seconds", file.outputSeconds);
    return closeJsonLine(&line);
}

std::string problemEvent(const SourceProblem& problem) {
    JsonLine line;
    addJsonString(&line, "event", problem.unreadableFolder ? "folder" : "file");
    addJsonString(&line, "source", problem.path);
    if (!problem.unreadableFolder) {
        addJsonNull(&line, "output");
    }
    addJsonString(&line, "outcome", problem.unreadableFolder ? "unreadable" : "missing");
    addJsonString(&line, "reason",
                  problem.unreadableFolder ? problem.reason : "no such file or folder");
    return closeJsonLine(&line);
}

std::string summaryEvent(const RunCounts& counts, bool dryRun, bool interrupted, double seconds) {
    JsonLine line;
    addJsonString(&line, "event", "summary");
    if (dryRun) {
        addJsonInteger(&line, "planned", counts.waiting);
    } else {
        addJsonInteger(&line, "converted", counts.converted);
    }
    addJsonInteger(&line, "failed", counts.failed);
    addJsonInteger(&line, "skipped", counts.skipped);
    if (!dryRun) {
        addJsonInteger(&line, "stopped", counts.stopped);
        addJsonInteger(&line, "not_started", counts.waiting);
    }
    addJsonInteger(&line, "missing", counts.missing);
    addJsonInteger(&line, "unreadable_folders", counts.unreadableFolders);
    addJsonBool(&line, "interrupted", interrupted);
    addJsonSeconds(&line, "seconds", seconds);
    return closeJsonLine(&line);
}
