// What a sync tells of its work. For a person: a line for each step taken (in a dry run,
// planned), such as "converted  SOURCE -> OUTPUT", a line on standard error for each
// failure, and the summary. With --json, standard output carries one JSON object per line
// instead (the man page lists the fields) and the person's lines go to standard error.
// The summary's counts are kept here, as each line is told.
#pragma once

#include "source_files.h"
#include "sync_plan.h"

#include <cmath>
#include <cstdio>
#include <string>

struct SyncTally {
    int converted = 0;
    int retagged = 0;
    int moved = 0;
    int removed = 0;
    int unchanged = 0;
    int failed = 0;
    int skipped = 0;
};

// The source and output a line is about: whole paths, "" where there is none.
struct SyncSubject {
    std::string source;
    std::string output;
    std::string from; // the output's old path, for a move
    double sourceSeconds = std::nan("");
    double outputSeconds = std::nan("");
};

struct SyncReport {
    bool quiet = false;  // only failures
    bool json = false;   // JSON lines on standard output
    bool dryRun = false; // the steps are planned, not taken
    std::FILE* people = stdout;
    double startSeconds = 0.0;
    SyncTally tally;
};

void initSyncReport(SyncReport* report, bool quiet, bool json, bool dryRun);

// A step taken, or in a dry run planned, with `text` for the person's line and `reason`
// (a forget's) for both. In a dry run a move counts its re-tag too (`retag`); in a run the
// re-tag is told on its own. Unchanged sources are only counted (countUnchanged).
void reportStep(SyncReport* report, SyncStep step, bool retag, const std::string& text,
                const SyncSubject& subject, const std::string& reason = "");
void countUnchanged(SyncReport* report, int count);
// `what` (a path) failed, for `reason`.
void reportFailure(SyncReport* report, const std::string& what, const std::string& reason,
                   const SyncSubject& subject);
// A source that is no media with sound.
void reportSkipped(SyncReport* report, const SyncSubject& subject);
// A path the walk could not take: a failure.
void reportProblem(SyncReport* report, const SourceProblem& problem);
// A person's line of its own ("stopping ..."); none in JSON.
void reportNote(SyncReport* report, const char* word, const std::string& text);
// The last line: the counts, for the mirror.
void reportSummary(SyncReport* report, const std::string& mirror, bool interrupted);
