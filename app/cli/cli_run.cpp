// The command-line converter's run: the given files probed several at once and in order,
// each one that has sound made a job, the jobs converted on `jobs` lanes while the later
// files are still being read, an interrupt turned into "q" for every running encoder, and
// the summary.
#include "cli_run.h"

#include "bounded_text.h"
#include "conversion_lanes.h"
#include "file_list.h"
#include "file_shard.h"
#include "interrupt_signal.h"
#include "probe_ahead.h"
#include "run_display.h"
#include "source_files.h"
#include "tool_process.h"

#include <algorithm>

namespace {

// Longest wait for the encoders between two looks at everything else (interrupts, probes,
// the live lines). An encoder that prints or ends ends the wait at once.
constexpr int kWaitMilliseconds = 50;
// How often the live lines are redrawn.
constexpr double kRedrawSeconds = 0.25;

std::string toolPath(const char* folder, const char* name) {
    ToolProcess tool;
    return setToolProgram(&tool, folder, name) == 0 ? tool.programPath : "";
}

struct Run {
    const CliOptions& options;
    const std::vector<SourceFile>& sources;
    std::vector<PlannedFile>& files; // one per source; never resized, lanes point into it
    RunDisplay* display;
    std::string prober;
    ProbeAhead* ahead = nullptr;
    std::size_t probed = 0; // files whose probe outcome has been taken, from the first
    std::size_t next = 0;   // the next file a free lane looks at
};

// Turns a probe's outcome into the file's starting state and, for media with sound, a job.
void planFile(Run* run, std::size_t index, const ProbeOutcome& outcome) {
    PlannedFile* file = &run->files[index];
    if (outcome.result == kProbeNotStarted) {
        file->state = FileState::Failed;
        file->failure = "the prober " + run->prober + " could not be started";
    } else if (outcome.result == kProbeRefused) {
        file->state = FileState::Failed;
        file->failure =
            "the path is too long, or holds a double quote, which a command line cannot carry";
    } else if (outcome.result != kProbeReadable) {
        file->state = FileState::Skipped;
        file->skipReason = "not media with a length";
    } else if (!outcome.hasAudio) {
        file->state = FileState::Skipped;
        file->skipReason = "no sound in it";
    } else {
        const std::string folder = outputFolderFor(run->options.outputFolder, run->sources[index]);
        file->job = createJob(file->path.c_str(), outcome.duration, run->options.profile);
        if (file->job == nullptr || setJobDestination(file->job, folder.c_str()) != 0) {
            file->state = FileState::Failed;
            file->failure = "the path or its output folder is too long";
        }
    }
    if (file->state != FileState::Waiting) {
        showFileLine(run->display, *file);
    }
}

// Takes every probe outcome that is ready, in order; with `wait`, every one there is.
void takeProbes(Run* run, bool wait) {
    ProbeOutcome outcome;
    pollProbeAhead(run->ahead);
    while (run->probed < run->files.size() && (wait ? takeNextProbe(run->ahead, &outcome)
                                                    : takeReadyProbe(run->ahead, &outcome)) == 1) {
        planFile(run, run->probed++, outcome);
        if (wait && interruptCount() > 0) {
            return;
        }
    }
}

bool skippedAsExisting(Run* run, PlannedFile* file) {
    if (!run->options.skipExisting || !outputNameTaken(*file->job)) {
        return false;
    }
    file->state = FileState::Skipped;
    file->skipReason = "its output exists";
    showFileLine(run->display, *file);
    return true;
}

void dryRun(Run* run) {
    takeProbes(run, true);
    for (std::size_t i = 0; i < run->probed; ++i) {
        PlannedFile& file = run->files[i];
        if (file.state != FileState::Waiting || skippedAsExisting(run, &file)) {
            continue;
        }
        if (!planOutputPath(&file)) {
            file.state = FileState::Failed;
            file.failure = "no output path can be composed: it would be too long";
        }
        showFileLine(run->display, file);
    }
}

// Starts the next probed, waiting file on `lane`; files that are skipped or cannot start
// are reported on the way.
void startNextFile(Run* run, Lane* lane) {
    while (run->next < run->probed) {
        PlannedFile& file = run->files[run->next++];
        if (file.state != FileState::Waiting || skippedAsExisting(run, &file)) {
            continue;
        }
        if (startLane(lane, &file)) {
            return;
        }
        showFileLine(run->display, file);
    }
}

// Converts on the lanes until every file is done, or after an interrupt until every
// running encoder has finished its file. True when interrupted.
bool convertFiles(Run* run, const std::string& encoder) {
    std::vector<Lane> lanes(std::size_t(run->options.jobs));
    for (Lane& lane : lanes) {
        initLane(&lane, encoder.c_str());
    }
    int interruptsSeen = 0;
    double lastDraw = 0.0;
    for (;;) {
        const int interrupts = interruptCount();
        if (interrupts != interruptsSeen) {
            int running = 0;
            for (Lane& lane : lanes) {
                stopLane(&lane);
                running += lane.file != nullptr;
            }
            showMessage(run->display, interruptsSeen == 0
                                          ? "Stopping: " + std::to_string(running) +
                                                " running files finish what they have written."
                                          : "Still waiting for " + std::to_string(running) +
                                                " files to be finished; no file is lost.");
            interruptsSeen = interrupts;
        }
        if (interrupts == 0) {
            takeProbes(run, false);
        }
        int busy = 0;
        for (Lane& lane : lanes) {
            if (lane.file != nullptr && pollLane(&lane) == 1) {
                PlannedFile* file = lane.file;
                finishLane(&lane);
                showFileLine(run->display, *file);
                lastDraw = 0.0;
            }
            if (lane.file == nullptr && interrupts == 0) {
                startNextFile(run, &lane);
            }
            busy += lane.file != nullptr;
        }
        if (busy == 0 && (interrupts > 0 || run->next >= run->files.size())) {
            break;
        }
        if (nowSeconds() - lastDraw > kRedrawSeconds) {
            showLive(run->display, run->files, lanes.data(), int(lanes.size()), int(run->probed));
            lastDraw = nowSeconds();
        }
        // With every lane idle the next probe outcome is awaited; its look waits 1 ms.
        if (busy > 0) {
            waitForLanes(lanes.data(), int(lanes.size()),
                         run->probed < run->files.size() ? 5 : kWaitMilliseconds);
        }
    }
    clearLive(run->display);
    for (Lane& lane : lanes) {
        releaseConversionRun(&lane.run);
    }
    return interruptsSeen > 0;
}

} // namespace

int runConversion(const CliOptions& options, const char* toolFolder) {
    SourceRequest request{options.sources, {}, options.outputFolder};
    SourceWalk walk;
    std::string error;
    if ((!options.filesFrom.empty() &&
         !readFileList(options.filesFrom, options.nullSeparated ? '\0' : '\n', &request.listed,
                       &error)) ||
        !collectSourceFiles(request, &walk, &error)) {
        std::fprintf(stderr, "nemarro-cli: %s\n", error.c_str());
        return kExitBadUsage;
    }
    std::vector<SourceFile>& sources = walk.files;
    if (options.shardCount > 0) {
        sources.erase(std::remove_if(sources.begin(), sources.end(),
                                     [&](const SourceFile& source) {
                                         return shardOf(source.relativePath, options.shardCount) !=
                                                options.shardIndex;
                                     }),
                      sources.end());
    }
    RunDisplay display;
    initRunDisplay(&display, options.quiet, options.dryRun, options.json);
    // What could not be walked is named, and the rest converts.
    for (const SourceProblem& problem : walk.problems) {
        showProblem(&display, problem);
    }
    watchInterrupts();

    std::vector<PlannedFile> files(sources.size());
    std::vector<const char*> paths;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        files[i].path = sources[i].path;
        paths.push_back(files[i].path.c_str());
    }
    Run run{options, sources, files, &display, toolPath(toolFolder, "pb.dat")};
    // Probing runs as wide as converting: `jobs` probers at once, outcomes in order.
    run.ahead = createProbeAhead(run.prober.c_str(), paths.data(), int(paths.size()), options.jobs);
    if (run.ahead == nullptr) {
        std::fprintf(stderr, "nemarro-cli: out of memory\n");
        return kExitSomeFailed;
    }
    bool interrupted = false;
    if (options.dryRun) {
        dryRun(&run);
        interrupted = interruptCount() > 0;
    } else {
        interrupted = convertFiles(&run, toolPath(toolFolder, "cv.dat"));
    }
    releaseProbeAhead(run.ahead);
    showSummary(&display, files, interrupted);
    int status = walk.problems.empty() ? kExitConverted : kExitSomeFailed;
    for (PlannedFile& file : files) {
        if (file.state == FileState::Failed) {
            status = kExitSomeFailed;
        }
        releaseJob(file.job);
        file.job = nullptr;
    }
    return interrupted ? kExitInterrupted : status;
}
