// What nemarro-cli prints while it runs. On a terminal: one live line per running file
// and an overall bar, redrawn in place, with each finished file's line above them.
// Otherwise (a log, a pipe): one line per finished file. Quiet: only failures. With --json
// those lines go to standard error, and standard output carries the JSON lines alone.
#pragma once

#include "planned_file.h"
#include "source_files.h"

#include <cstdio>
#include <string>
#include <vector>

struct RunDisplay {
    std::FILE* out = stdout;
    bool live = false; // stdout is a terminal: live lines and bar
    bool quiet = false;
    bool dryRun = false;
    bool json = false;  // JSON lines on stdout; the lines for a person on stderr
    int width = 80;     // of the terminal
    int drawnLines = 0; // live lines on screen now
    double startSeconds = 0.0;
    int missing = 0; // listed paths that name nothing
    int unreadableFolders = 0;
};

// Sets the display up for stdout (live when it is a terminal and not quiet), or with
// `json` for plain lines on stderr.
void initRunDisplay(RunDisplay* display, bool quiet, bool dryRun, bool json);
// Seconds on a steady clock.
double nowSeconds();
// A line for a file that got its final state (or a dry run's plan for it).
void showFileLine(RunDisplay* display, const PlannedFile& file);
// A path the walk could not take, on stderr (and as a JSON line).
void showProblem(RunDisplay* display, const SourceProblem& problem);
// A line of its own above the live lines ("Stopping: ...").
void showMessage(RunDisplay* display, const std::string& text);
// Redraws the live lines: one per running file, then the bar over every file to convert.
// While files are still being read (`probed` of them so far), the bar says so and its
// share counts the files read.
void showLive(RunDisplay* display, const std::vector<PlannedFile>& files, int probed);
// Removes the live lines.
void clearLive(RunDisplay* display);
// The closing summary: converted, failed (each with its reason), stopped and skipped.
void showSummary(RunDisplay* display, const std::vector<PlannedFile>& files, bool interrupted);
