// The run as --json tells it: one object per line for each file as it ends (or, in a dry
// run, as it is planned), one for each path the walk could not take, and a last one with
// the counts. The man page lists the fields.
#pragma once

#include "planned_file.h"
#include "source_files.h"

#include <string>
#include <vector>

// How many files ended which way; `missing` and `unreadableFolders` come from the walk.
struct RunCounts {
    int converted = 0;
    int failed = 0;
    int stopped = 0;
    int skipped = 0;
    int waiting = 0; // not started (interrupted), or to be converted in a dry run
    int missing = 0;
    int unreadableFolders = 0;
};

RunCounts countFiles(const std::vector<PlannedFile>& files);

// {"event": "file", "source", "output" (null when none), "outcome" ("converted", "failed",
// "stopped", "skipped", or "planned" in a dry run), "reason" (null when none),
// "source_seconds" and "output_seconds" (null when not known)}.
std::string fileEvent(const PlannedFile& file, const std::string& reason, bool dryRun);
// A listed path that names nothing: a "file" event with the outcome "missing"; a folder
// that cannot be read: {"event": "folder", "source", "outcome": "unreadable", "reason"}.
std::string problemEvent(const SourceProblem& problem);
// {"event": "summary", the counts, "interrupted", "seconds"}.
std::string summaryEvent(const RunCounts& counts, bool dryRun, bool interrupted, double seconds);
