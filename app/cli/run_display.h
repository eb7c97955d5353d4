// What nemarro-cli prints while it runs. On a terminal: one live line per running file
// and an overall bar, redrawn in place, with each finished file's line above them.
// Otherwise (a log, a pipe): one line per finished file. Quiet: only failures.
#pragma once

#include "planned_file.h"

#include <cstdio>
#include <string>
#include <vector>

struct RunDisplay {
    std::FILE* out = stdout;
    bool live = false; // stdout is a terminal: live lines and bar
    bool quiet = false;
    bool dryRun = false;
    int width = 80;     // of the terminal
    int drawnLines = 0; // live lines on screen now
    double startSeconds = 0.0;
};

// Sets the display up for stdout (live when it is a terminal and not quiet).
void initRunDisplay(RunDisplay* display, bool quiet, bool dryRun);
// Seconds on a steady clock.
double nowSeconds();
// A line for a file that got its final state (or a dry run's plan for it).
void showFileLine(RunDisplay* display, const PlannedFile& file);
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
