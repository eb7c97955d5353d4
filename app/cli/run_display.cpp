// Printing the run: the finished files' lines, the live lines and bar, the summary.
#include "run_display.h"

#include "console_terminal.h"
#include "conversion_job.h"
#include "run_events.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

constexpr int kBarWidth = 24;

std::string clock(double seconds) {
    const long long whole = std::llround(std::max(seconds, 0.0));
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", whole / 3600, whole / 60 % 60,
                  whole % 60);
    return text;
}

// The job's note on one line, its lines joined by "; ".
std::string reasonOf(const PlannedFile& file) {
    // The engine's note when it has one; else what the converter itself found.
    std::string reason =
        file.job != nullptr && file.job->note[0] != '\0' ? file.job->note : file.failure;
    for (char& c : reason) {
        if (c == '\n') {
            c = ';';
        }
    }
    std::string spaced;
    for (char c : reason) {
        spaced += c;
        if (c == ';') {
            spaced += ' ';
        }
    }
    return spaced.empty() ? "no reason was given" : spaced;
}

// A display line that fits the terminal: a long path loses its start, shown as "...".
std::string fitted(const std::string& head, const std::string& path, int width) {
    const std::size_t room =
        width > int(head.size()) + 8 ? std::size_t(width) - head.size() - 1 : 8;
    if (path.size() <= room) {
        return head + path;
    }
    return head + "..." + path.substr(path.size() - (room - 3));
}

double shownPercent(const PlannedFile& file) {
    return std::clamp(double(file.percent), 0.0, 100.0);
}

// Seconds of sound done and in all, over every file that is or was to be converted.
void durations(const std::vector<PlannedFile>& files, double* done, double* total) {
    *done = 0.0;
    *total = 0.0;
    for (const PlannedFile& file : files) {
        if (file.job == nullptr || file.state == FileState::Skipped) {
            continue;
        }
        const double length = file.job->trimEnd - file.job->trimStart;
        *total += length;
        if (file.state == FileState::Running) {
            *done += shownPercent(file) / 100.0 * length;
        } else if (file.state != FileState::Waiting) {
            *done += length;
        }
    }
}

void printLine(RunDisplay* display, const std::string& line) {
    std::fprintf(display->out, "%s\n", line.c_str());
}

} // namespace

void initRunDisplay(RunDisplay* display, bool quiet, bool dryRun, bool json) {
    display->out = json ? stderr : stdout;
    display->quiet = quiet;
    display->dryRun = dryRun;
    display->json = json;
    // With --json the live lines are off: the finished files' lines go to stderr.
    display->live = !quiet && !json && standardOutputIsTerminal();
    const int columns = display->live ? terminalColumns() : 0;
    if (columns > 20) {
        display->width = columns;
    }
    display->startSeconds = nowSeconds();
}

double nowSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void showFileLine(RunDisplay* display, const PlannedFile& file) {
    if (display->json) {
        const bool reasoned = file.state == FileState::Failed || file.state == FileState::Skipped;
        const std::string reason = file.state == FileState::Skipped ? file.skipReason
                                   : reasoned                       ? reasonOf(file)
                                                                    : "";
        std::fputs(fileEvent(file, reason, display->dryRun).c_str(), stdout);
        std::fflush(stdout);
    }
    std::string line;
    switch (file.state) {
    case FileState::Converted:
        line = file.path + " -> " + file.outputPath;
        break;
    case FileState::Stopped:
        line = "stopped early: " + file.path + " -> " + file.outputPath + " (shorter)";
        break;
    case FileState::Failed:
        line = "FAILED: " + file.path + ": " + reasonOf(file);
        break;
    case FileState::Skipped:
        line = "skipped: " + file.path + " (" + file.skipReason + ")";
        break;
    case FileState::Waiting:
    case FileState::Running:
        if (!display->dryRun) {
            return;
        }
        line = "would write: " + file.path + " -> " + file.outputPath;
        break;
    }
    if (display->quiet) {
        if (file.state == FileState::Failed) {
            std::fprintf(stderr, "nemarro-cli: %s\n", line.c_str());
        }
        return;
    }
    clearLive(display);
    printLine(display, line);
    std::fflush(display->out);
}

void showProblem(RunDisplay* display, const SourceProblem& problem) {
    (problem.unreadableFolder ? display->unreadableFolders : display->missing) += 1;
    if (display->json) {
        std::fputs(problemEvent(problem).c_str(), stdout);
        std::fflush(stdout);
    }
    std::fprintf(stderr, "nemarro-cli: %s\n", problemText(problem).c_str());
}

void showMessage(RunDisplay* display, const std::string& text) {
    if (display->quiet) {
        return;
    }
    clearLive(display);
    printLine(display, text);
    std::fflush(display->out);
}

void showLive(RunDisplay* display, const std::vector<PlannedFile>& files, int probed) {
    if (!display->live) {
        return;
    }
    clearLive(display);
    std::string block;
    int lines = 0;
    int finished = 0;
    int toConvert = 0;
    for (const PlannedFile& file : files) {
        toConvert += file.state != FileState::Skipped;
        finished += file.state == FileState::Converted || file.state == FileState::Failed ||
                    file.state == FileState::Stopped;
    }
    for (const PlannedFile& file : files) {
        if (file.state == FileState::Running) {
            char head[16];
            std::snprintf(head, sizeof head, "%5.1f%%  ", shownPercent(file));
            block += fitted(head, file.path, display->width) + "\n";
            ++lines;
        }
    }
    double done = 0.0;
    double total = 0.0;
    durations(files, &done, &total);
    const double share = total > 0.0 ? std::clamp(done / total, 0.0, 1.0) : 0.0;
    const double elapsed = nowSeconds() - display->startSeconds;
    const int filled = int(share * kBarWidth);
    std::string bar = "[" + std::string(std::size_t(filled), '#') +
                      std::string(std::size_t(kBarWidth - filled), '-') + "]";
    char text[200];
    std::snprintf(text, sizeof text, " %d/%d files  %5.1f%%  %s elapsed  %s left", finished,
                  toConvert, share * 100.0, clock(elapsed).c_str(),
                  share > 0.005 ? clock(elapsed * (1.0 - share) / share).c_str() : "--:--:--");
    std::string line = bar + text;
    if (probed < int(files.size())) {
        line +=
            "  (reading " + std::to_string(probed) + " of " + std::to_string(files.size()) + ")";
    }
    block += line.substr(0, std::size_t(display->width - 1)) + "\n";
    ++lines;
    std::fputs(block.c_str(), display->out);
    std::fflush(display->out);
    display->drawnLines = lines;
}

void clearLive(RunDisplay* display) {
    if (display->drawnLines > 0) {
        std::fprintf(display->out, "\x1b[%dA\r\x1b[J", display->drawnLines);
        display->drawnLines = 0;
    }
}

void showSummary(RunDisplay* display, const std::vector<PlannedFile>& files, bool interrupted) {
    RunCounts counts = countFiles(files);
    counts.missing = display->missing;
    counts.unreadableFolders = display->unreadableFolders;
    if (display->json) {
        for (const PlannedFile& file : files) {
            if (file.state == FileState::Waiting && !display->dryRun) {
                std::fputs(fileEvent(file, "", false).c_str(), stdout); // an interrupt came first
            }
        }
        std::fputs(
            summaryEvent(counts, display->dryRun, interrupted, nowSeconds() - display->startSeconds)
                .c_str(),
            stdout);
        std::fflush(stdout);
    }
    const int converted = counts.converted, failed = counts.failed, stopped = counts.stopped,
              skipped = counts.skipped, waiting = counts.waiting;
    if (display->quiet) {
        return; // failures were printed as they came
    }
    clearLive(display);
    const std::string elapsed = clock(nowSeconds() - display->startSeconds);
    std::string line;
    if (display->dryRun) {
        line = "Dry run: " + std::to_string(waiting) + " would be converted, " +
               std::to_string(failed) + " could not be, " + std::to_string(skipped) +
               " skipped; nothing was written.";
    } else {
        line = std::string(interrupted ? "Interrupted" : "Done") + " after " + elapsed + ": " +
               std::to_string(converted) + " converted, " + std::to_string(failed) + " failed, " +
               std::to_string(skipped) + " skipped";
        if (interrupted) {
            line += ", " + std::to_string(stopped) + " stopped early (shorter, valid files), " +
                    std::to_string(waiting) + " not started";
        }
        if (counts.missing + counts.unreadableFolders > 0) {
            line += ", " + std::to_string(counts.missing) + " not found, " +
                    std::to_string(counts.unreadableFolders) + " folders unreadable";
        }
        line += ".";
    }
    printLine(display, line);
    if (failed > 0) {
        printLine(display, "Failed:");
        for (const PlannedFile& file : files) {
            if (file.state == FileState::Failed) {
                printLine(display, "  " + file.path + ": " + reasonOf(file));
            }
        }
    }
    std::fflush(display->out);
}
