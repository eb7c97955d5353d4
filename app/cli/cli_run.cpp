// The command-line converter's run: the given files probed several at once, each one that
// has sound made a job, the jobs converted on `jobs` lanes, an interrupt turned into "q"
// for every running encoder, and the summary.
#include "cli_run.h"

#include "bounded_text.h"
#include "conversion_lanes.h"
#include "interrupt_signal.h"
#include "output_claims.h"
#include "probe_ahead.h"
#include "run_display.h"
#include "source_files.h"
#include "tool_process.h"

#include <chrono>
#include <thread>

namespace {

// How often the lanes are polled: a file that ends waits at most this long for the next
// one to start.
constexpr auto kPollPeriod = std::chrono::milliseconds(10);
// How often the live lines are redrawn.
constexpr double kRedrawSeconds = 0.25;

std::string toolPath(const char* folder, const char* name) {
    ToolProcess tool;
    return setToolProgram(&tool, folder, name) == 0 ? tool.programPath : "";
}

// Turns a probe's outcome into the file's starting state and, for media with sound, a job.
void planFile(PlannedFile* file, const ProbeOutcome& outcome, const CliOptions& options,
              const std::string& destination, const std::string& prober) {
    if (outcome.result == kProbeNotStarted) {
        file->state = FileState::Failed;
        file->failure = "the prober " + prober + " could not be started";
    } else if (outcome.result == kProbeRefused) {
        file->state = FileState::Failed;
        file->failure = "the path is too long, or holds a double quote, which a command line cannot carry";
    } else if (outcome.result != kProbeReadable) {
        file->state = FileState::Skipped;
        file->skipReason = "not media with a length";
    } else if (!outcome.hasAudio) {
        file->state = FileState::Skipped;
        file->skipReason = "no sound in it";
    } else {
        file->job = createJob(file->path.c_str(), outcome.duration, options.profile);
        if (file->job == nullptr ||
            copyText(file->job->destinationFolder, sizeof file->job->destinationFolder,
                     destination.c_str()) != 0) {
            file->state = FileState::Failed;
            file->failure = "the path or its output folder is too long";
        }
    }
}

// Probes every source, `jobs` at once, in order. False when interrupted.
bool readFiles(const std::vector<SourceFile>& sources, const CliOptions& options,
               const std::string& prober, std::vector<PlannedFile>* files, RunDisplay* display) {
    std::vector<const char*> paths;
    for (const SourceFile& source : sources) {
        paths.push_back(source.path.c_str());
    }
    ProbeAhead* ahead = createProbeAhead(prober.c_str(), paths.data(), int(paths.size()), options.jobs);
    if (ahead == nullptr) {
        return false;
    }
    double lastDraw = 0.0;
    ProbeOutcome outcome;
    for (std::size_t i = 0; i < sources.size() && interruptCount() == 0; ++i) {
        if (takeNextProbe(ahead, &outcome) == 0) {
            break;
        }
        PlannedFile& file = (*files)[i];
        planFile(&file, outcome, options, outputFolderFor(options.outputFolder, sources[i]), prober);
        if (file.state != FileState::Waiting) {
            showFileLine(display, file);
        }
        if (nowSeconds() - lastDraw > kRedrawSeconds) {
            showLive(display, *files, nullptr, 0, int(i + 1), int(sources.size()));
            lastDraw = nowSeconds();
        }
    }
    releaseProbeAhead(ahead);
    clearLive(display);
    return interruptCount() == 0;
}

void dryRun(std::vector<PlannedFile>* files, const CliOptions& options, RunDisplay* display) {
    for (PlannedFile& file : *files) {
        if (file.state != FileState::Waiting) {
            continue;
        }
        if (options.skipExisting && outputNameTaken(*file.job)) {
            file.state = FileState::Skipped;
            file.skipReason = "its output exists";
        } else if (!planOutputPath(&file)) {
            file.state = FileState::Failed;
            file.failure = "no output path can be composed: it would be too long";
        }
        showFileLine(display, file);
    }
}

// Starts the next waiting file on `lane`; files that are skipped or cannot start are
// reported on the way. False when none was left.
bool startNextFile(Lane* lane, std::vector<PlannedFile>* files, std::size_t* next,
                   const CliOptions& options, RunDisplay* display) {
    while (*next < files->size()) {
        PlannedFile& file = (*files)[(*next)++];
        if (file.state != FileState::Waiting) {
            continue;
        }
        if (options.skipExisting && outputNameTaken(*file.job)) {
            file.state = FileState::Skipped;
            file.skipReason = "its output exists";
            showFileLine(display, file);
            continue;
        }
        if (startLane(lane, &file)) {
            return true;
        }
        showFileLine(display, file);
    }
    return false;
}

// Converts on the lanes until every file is done, or after an interrupt until every
// running encoder has finished its file. True when interrupted.
bool convertFiles(std::vector<PlannedFile>* files, const CliOptions& options,
                  const std::string& encoder, RunDisplay* display) {
    std::vector<Lane> lanes(std::size_t(options.jobs));
    for (Lane& lane : lanes) {
        initLane(&lane, encoder.c_str());
    }
    std::size_t next = 0;
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
            showMessage(display, interruptsSeen == 0
                                     ? "Stopping: " + std::to_string(running) +
                                           " running files finish what they have written."
                                     : "Still waiting for " + std::to_string(running) +
                                           " files to be finished; no file is lost.");
            interruptsSeen = interrupts;
        }
        int busy = 0;
        for (Lane& lane : lanes) {
            if (lane.file == nullptr && interrupts == 0) {
                startNextFile(&lane, files, &next, options, display);
            }
            if (lane.file == nullptr) {
                continue;
            }
            if (pollLane(&lane) == 1) {
                PlannedFile* file = lane.file;
                finishLane(&lane);
                showFileLine(display, *file);
                lastDraw = 0.0;
                if (interrupts == 0) {
                    startNextFile(&lane, files, &next, options, display);
                }
            }
            busy += lane.file != nullptr;
        }
        if (busy == 0 && (interrupts > 0 || next >= files->size())) {
            break;
        }
        if (nowSeconds() - lastDraw > kRedrawSeconds) {
            showLive(display, *files, lanes.data(), int(lanes.size()), 0, 0);
            lastDraw = nowSeconds();
        }
        std::this_thread::sleep_for(kPollPeriod);
    }
    clearLive(display);
    for (Lane& lane : lanes) {
        releaseConversionRun(&lane.run);
    }
    return interruptsSeen > 0;
}

} // namespace

int runConversion(const CliOptions& options, const char* toolFolder) {
    std::vector<SourceFile> sources;
    std::string error;
    if (!collectSourceFiles(options.sources, &sources, &error)) {
        std::fprintf(stderr, "nemarro-cli: %s\n", error.c_str());
        return kExitBadUsage;
    }
    RunDisplay display;
    initRunDisplay(&display, options.quiet, options.dryRun);
    watchInterrupts();

    // Every file's record exists before a lane points at one; the vector never moves.
    std::vector<PlannedFile> files(sources.size());
    for (std::size_t i = 0; i < sources.size(); ++i) {
        files[i].path = sources[i].path;
    }
    bool interrupted = !readFiles(sources, options, toolPath(toolFolder, "pb.dat"), &files, &display);
    if (!interrupted) {
        if (options.dryRun) {
            dryRun(&files, options, &display);
        } else {
            interrupted = convertFiles(&files, options, toolPath(toolFolder, "cv.dat"), &display);
        }
    }
    showSummary(&display, files, interrupted);
    int status = kExitConverted;
    for (PlannedFile& file : files) {
        if (file.state == FileState::Failed) {
            status = kExitSomeFailed;
        }
        releaseJob(file.job);
        file.job = nullptr;
    }
    return interrupted ? kExitInterrupted : status;
}
