// The command-line converter's run: the given files probed several at once and in order,
// each one that has sound handed to the engine's queue as a job while the later files are
// still being read, stop requests passed to the queue, and what the queue reports printed.
#include "cli_run.h"

#include "conversion_queue.h"
#include "encoder_command_line.h"
#include "file_list.h"
#include "file_shard.h"
#include "file_size.h"
#include "output_length.h"
#include "output_name.h"
#include "output_temporary.h"
#include "probe_ahead.h"
#include "run_display.h"
#include "source_files.h"
#include "stop_requests.h"
#include "tool_process.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <set>

static_assert(kMaxJobs <= kMaxLanes, "every job of -j gets a lane of its own");

namespace {

// Longest wait for the encoders between two looks at everything else (stop requests,
// probes, the live lines). An encoder that prints or ends ends the wait at once.
constexpr int kWaitMilliseconds = 50;
// The wait while files are still being read: their outcomes are taken between waits.
constexpr int kProbingWaitMilliseconds = 5;
// How often the live lines are redrawn.
constexpr double kRedrawSeconds = 0.25;

std::string toolPath(const char* folder, const char* name) {
    ToolProcess tool;
    return setToolProgram(&tool, folder, name) == 0 ? tool.programPath : "";
}

struct Run {
    const CliOptions& options;
    const std::vector<SourceFile>& sources;
    std::vector<PlannedFile>& files; // one per source; never resized, jobs' rows index it
    RunDisplay* display;
    std::string prober;
    ProbeAhead* ahead = nullptr;
    ConversionQueue* queue = nullptr;
    std::size_t probed = 0; // files whose probe outcome has been taken, from the first
    int stops = 0;          // stop requests so far
    std::map<std::string, NameRules> nameRules = {}; // of each folder --name writes below
    std::set<std::string> cleaned = {}; // destination folders cleared of a killed run's parts
};

// The job's output folder: the source's tree below -o, or with --name the folders the
// pattern makes of the tags below -o (or below the source's own folder), the job then
// named by the pattern's last part. False when a path does not fit.
bool placeOutput(Run* run, const SourceFile& source, const TagValues& tags, ConversionJob* job) {
    char folder[kPathSize];
    const CliOptions& options = run->options;
    if (!options.named) {
        return mirroredOutputFolder(folder, options.outputFolder.c_str(),
                                    source.relativeFolder.c_str()) == 0 &&
               setJobDestination(job, folder) == 0;
    }
    std::string root = options.outputFolder;
    if (root.empty()) {
        root = std::filesystem::path(source.path).parent_path().string();
        root = root.empty() ? "." : root;
    }
    auto rules = run->nameRules.find(root);
    if (rules == run->nameRules.end()) {
        rules = run->nameRules.emplace(root, nameRulesFor(root)).first;
    }
    const std::string named =
        expandNamePattern(options.namePattern, tags, job->sourceBaseName, rules->second);
    const std::size_t slash = named.rfind('/');
    const std::string below = slash == std::string::npos ? "" : named.substr(0, slash);
    return mirroredOutputFolder(folder, root.c_str(), below.c_str()) == 0 &&
           setJobDestination(job, folder) == 0 &&
           setJobNamedBaseName(job, named.c_str() + (slash + 1)) == 0;
}

// Turns a probe's outcome into the file's starting state and, for media with sound, a job
// handed to the queue.
void planFile(Run* run, std::size_t index, const ProbeOutcome& outcome) {
    PlannedFile* file = &run->files[index];
    if (outcome.result == kProbeNotStarted) {
        file->state = FileState::Failed;
        file->failure = "the prober " + run->prober + " could not be started";
    } else if (outcome.result == kProbeRefused) {
        file->state = FileState::Failed;
        file->failure = "the path is too long for the prober's command line";
    } else if (outcome.result != kProbeReadable) {
        file->state = FileState::Skipped;
        file->skipReason = "not media with a length";
    } else if (!outcome.hasAudio) {
        file->state = FileState::Skipped;
        file->skipReason = "no sound in it";
    } else {
        file->job = createJob(file->path.c_str(), outcome.duration, run->options.profile);
        if (file->job == nullptr ||
            !placeOutput(run, run->sources[index], tagValuesOf(outcome.details), file->job)) {
            file->state = FileState::Failed;
            file->failure = "the path or its output folder is too long";
        } else {
            // A run killed before it could rename its outputs left its parts here.
            if (!run->options.dryRun && run->cleaned.insert(file->job->destinationFolder).second) {
                char output[kPathSize];
                if (outputFolder(*file->job, output) == kBuildDone) {
                    removeStaleTemporaries(output);
                }
            }
            file->job->row = static_cast<int32_t>(index);
            appendQueuedJob(run->queue, file->job);
        }
    }
    if (file->state != FileState::Waiting) {
        showFileLine(run->display, *file);
    }
}

// Takes every probe outcome that is ready, in order; with `wait`, every one there is
// (until a stop request). Once the last is taken, the queue hears that no more jobs come.
void takeProbes(Run* run, bool wait) {
    ProbeOutcome outcome;
    pollProbeAhead(run->ahead);
    while (run->probed < run->files.size() && (wait ? takeNextProbe(run->ahead, &outcome)
                                                    : takeReadyProbe(run->ahead, &outcome)) == 1) {
        planFile(run, run->probed++, outcome);
        if (wait && takeStopRequest() != 0) {
            ++run->stops;
            return;
        }
    }
    if (run->probed == run->files.size()) {
        closeQueue(run->queue);
    }
}

bool skippedAsExisting(Run* run, PlannedFile* file) {
    char existing[kPathSize];
    if (!run->options.skipExisting || !outputNameTaken(run->queue, *file->job) ||
        sourceOutputPath(*file->job, existing) != kBuildDone) {
        return false;
    }
    // Only a whole output counts as done: one that a stop or a crash cut short (a file
    // of an older version, or another program's) is converted again, with a counter. A
    // name only claimed by a running encoder is the same file, converted now.
    double seconds = 0.0;
    if (regularFileSize(existing) >= 0 &&
        (probeLength(run->prober.c_str(), existing, &seconds) != kProbeReadable ||
         outputIsShorter(seconds, file->job->duration))) {
        return false;
    }
    file->state = FileState::Skipped;
    file->skipReason = "its output exists";
    showFileLine(run->display, *file);
    return true;
}

// The queue's reports turned into the files' states and lines.
class CliView : public JobRunView {
public:
    explicit CliView(Run* run) : m_run(run) {}
    void jobStarted(const ConversionJob& job, const char* outputPath) override {
        PlannedFile& file = fileOf(job);
        file.state = FileState::Running;
        file.outputPath = outputPath;
        file.percent = 0.0f;
    }
    void jobProgress(const ConversionJob& job, float percent, const char*) override {
        fileOf(job).percent = percent;
    }
    void jobEnded(const JobVerdict& verdict) override {
        PlannedFile& file = fileOf(*verdict.job);
        const bool started = verdict.outcome != JobOutcome::CommandRefused &&
                             verdict.outcome != JobOutcome::NotStarted &&
                             verdict.outcome != JobOutcome::FolderRefused;
        if (started && std::isfinite(verdict.percent)) {
            file.outputSeconds =
                verdict.percent / 100.0 * (verdict.job->trimEnd - verdict.job->trimStart);
        }
        file.state = verdict.outcome == JobOutcome::Converted ? FileState::Converted
                     : verdict.outcome == JobOutcome::Stopped ? FileState::Stopped
                                                              : FileState::Failed;
        showFileLine(m_run->display, file); // the note holds the reason by now
    }
    void showJobNote(const ConversionJob&) override {}
    void queueProgress(int, int) override {}
    // The verdict that follows names the folder.
    void folderRefused(const ConversionJob&, const char*) override {}
    bool skipJob(const ConversionJob& job) override {
        return skippedAsExisting(m_run, &fileOf(job));
    }

private:
    PlannedFile& fileOf(const ConversionJob& job) { return m_run->files[std::size_t(job.row)]; }
    Run* m_run;
};

void dryRun(Run* run) {
    takeProbes(run, true);
    for (std::size_t i = 0; i < run->probed; ++i) {
        PlannedFile& file = run->files[i];
        if (file.state != FileState::Waiting || skippedAsExisting(run, &file)) {
            continue;
        }
        char path[kPathSize];
        if (planOutputPath(run->queue, file.job, path) == kBuildDone) {
            file.outputPath = path;
        } else {
            file.state = FileState::Failed;
            file.failure = "no output path can be composed: it would be too long";
        }
        showFileLine(run->display, file);
    }
}

// Converts until every file is done, or after a stop request until every running
// encoder has finished its file.
void convertFiles(Run* run) {
    double lastDraw = 0.0;
    for (;;) {
        if (takeStopRequest() != 0) {
            const int running = stopQueue(run->queue);
            showMessage(run->display, run->stops++ == 0
                                          ? "Stopping: " + std::to_string(running) +
                                                " running files finish what they have written, "
                                                "each kept as \"NAME (stopped)\"."
                                          : "Still waiting for " + std::to_string(running) +
                                                " files to be finished; no file is lost.");
        }
        if (run->stops == 0) {
            takeProbes(run, false);
        }
        if (finishEndedJobs(run->queue) > 0) {
            lastDraw = 0.0;
        }
        startQueuedJobs(run->queue);
        if (queueFinished(run->queue)) {
            break;
        }
        if (nowSeconds() - lastDraw > kRedrawSeconds) {
            showQueueProgress(run->queue);
            showLive(run->display, run->files, int(run->probed));
            lastDraw = nowSeconds();
        }
        // With no encoder running this returns at once: the next probe outcome is awaited
        // by its own look, which waits 1 ms.
        waitForQueue(run->queue, run->probed < run->files.size() ? kProbingWaitMilliseconds
                                                                 : kWaitMilliseconds);
    }
    clearLive(run->display);
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
    watchStopRequests();

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
    serveProbes(run.ahead); // a prober starts once a lane, not once a file
    if (options.named) {
        askProbesFor(run.ahead, kProbeTags); // read once, with the length
    }
    CliView view(&run);
    ConversionQueue queue;
    QueueOptions queueOptions;
    queueOptions.lanes = options.jobs;
    queueOptions.createFolders = true; // the tree below each given folder is recreated
    queueOptions.goOnAtRefusedFolder = true;
    queueOptions.verify = options.verify;
    queueOptions.temporaryOutputs = true; // no crash leaves a part under a final name
    queueOptions.keepStoppedOutputs = true;
    initConversionQueue(&queue, queueOptions, &view);
    setQueueProgram(&queue, toolFolder, "cv.dat");
    setQueueChecker(&queue, toolFolder, "pb.dat");
    run.queue = &queue;
    if (options.dryRun) {
        dryRun(&run);
    } else {
        convertFiles(&run);
    }
    releaseConversionQueue(&queue);
    releaseProbeAhead(run.ahead);
    const bool interrupted = run.stops > 0;
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
