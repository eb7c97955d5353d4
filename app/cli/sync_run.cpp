// One sync of a mirror, in the order it goes: take the mirror's lock and manifest, clear
// what a killed run left behind, walk and stat the sources, probe only those the manifest
// cannot vouch for, judge every source (sync_plan), and carry the plan out: removals,
// moves, records that only follow their source, adoptions, conversions on the engine's
// queue, re-tags. Every output is written under a temporary name and put in its place
// only when whole, and the manifest is written as each step ends.
#include "sync_run.h"

#include "conversion_queue.h"
#include "encoder_command_line.h"
#include "file_list.h"
#include "file_rename.h"
#include "file_shard.h"
#include "file_system_names.h"
#include "mirror_lock.h"
#include "name_pattern.h"
#include "output_length.h"
#include "output_temporary.h"
#include "path_split.h"
#include "probe_ahead.h"
#include "source_files.h"
#include "stop_requests.h"
#include "sync_manifest.h"
#include "sync_plan.h"
#include "sync_report.h"
#include "sync_shard.h"
#include "tool_process.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Longest wait for the encoders between two looks at stop requests and the queue.
constexpr int kWaitMilliseconds = 50;

struct SyncRun {
    const CliOptions& options;
    std::string toolFolder;
    std::string mirror; // absolute, without a trailing separator
    SyncManifest* manifest = nullptr;
    std::vector<ManifestRecord> records = {};
    std::vector<SkippedSource> skippedRows = {};
    std::vector<SyncSource> sources = {};
    std::vector<std::string> sourcePaths = {}; // each source's whole path
    std::vector<double> durations = {};        // each probed source's length
    std::vector<std::string> failures = {};    // why a source could not be probed
    std::vector<std::string> roots = {};
    SyncTarget target = {};
    NameRules nameRules = NameRules::Posix; // of the mirror's file system, for --name
    std::map<std::string, FileFacts> outputFacts = {};
    SyncReport report = {};
    bool stopped = false;
};

int64_t nanoseconds(const timespec& time) {
    return static_cast<int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

// What is at `path`: a regular file's size and time; anything else exists with no size
// that a record could hold (-1).
FileFacts factsOf(const std::string& path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0) {
        return {};
    }
    if (!S_ISREG(info.st_mode)) {
        return {true, -1, -1};
    }
    return {true, static_cast<int64_t>(info.st_size), nanoseconds(info.st_mtim)};
}

std::string inMirror(const SyncRun& run, const std::string& outputPath) {
    return run.mirror + "/" + outputPath;
}

std::string parentOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

void forgetFacts(SyncRun* run, const std::string& outputPath) {
    run->outputFacts.erase(outputPath);
}

MirrorFacts mirrorFacts(SyncRun* run) {
    MirrorFacts facts;
    facts.output = [run](const std::string& outputPath) {
        auto found = run->outputFacts.find(outputPath);
        if (found == run->outputFacts.end()) {
            found = run->outputFacts.emplace(outputPath, factsOf(inMirror(*run, outputPath))).first;
        }
        return found->second;
    };
    facts.sourceGone = [](const ManifestRecord& record) {
        struct stat info {};
        // A root that is not there (a disk not mounted) removes nothing.
        if (stat(record.sourceRoot.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
            return false;
        }
        const std::string path = record.sourceRoot + "/" + record.sourcePath;
        return lstat(path.c_str(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR);
    };
    return facts;
}

// --- what is told ---------------------------------------------------------------------

std::string sourceOf(const SyncRun& run, int source) {
    return run.sourcePaths[static_cast<std::size_t>(source)];
}

// What a line about the item names: its source (a gone one's as recorded), its output, a
// move's origin, and the source's length when it was read.
SyncSubject subjectOf(const SyncRun& run, const SyncItem* item) {
    SyncSubject subject;
    if (item == nullptr) {
        return subject;
    }
    if (item->source >= 0) {
        subject.source = sourceOf(run, item->source);
        const double seconds = run.durations[static_cast<std::size_t>(item->source)];
        subject.sourceSeconds = seconds > 0.0 ? seconds : std::nan("");
    } else if (item->record >= 0) {
        const ManifestRecord& record = run.records[static_cast<std::size_t>(item->record)];
        subject.source = record.sourceRoot + "/" + record.sourcePath;
    }
    if (!item->outputPath.empty()) {
        subject.output = inMirror(run, item->outputPath);
    }
    if (item->step == SyncStep::Move && item->oldOutputPath != item->outputPath) {
        subject.from = inMirror(run, item->oldOutputPath);
    }
    return subject;
}

void fail(SyncRun* run, const SyncItem* item, const std::string& what, const std::string& reason) {
    reportFailure(&run->report, what, reason, subjectOf(*run, item));
}

// --- the sources -----------------------------------------------------------------------

std::string absolutePath(const std::string& path) {
    std::error_code error;
    std::string text = fs::absolute(path, error).lexically_normal().string();
    while (text.size() > 1 && text.back() == '/') {
        text.pop_back();
    }
    return text;
}

// Walks the given folders and files (and a --files-from list) once each; the mirror,
// should it lie in a source, is never walked. With --shard only the share's files are
// kept. A folder that cannot be read, or a listed path that names nothing, counts as a
// failure and the rest is synced.
bool walkSources(SyncRun* run, std::string* error) {
    const CliOptions& options = run->options;
    SourceRequest request{options.sources, {}, run->mirror};
    SourceWalk walk;
    if ((!options.filesFrom.empty() &&
         !readFileList(options.filesFrom, options.nullSeparated ? '\0' : '\n', &request.listed,
                       error)) ||
        !collectSourceFiles(request, &walk, error)) {
        return false;
    }
    for (const SourceProblem& problem : walk.problems) {
        reportProblem(&run->report, problem);
    }
    std::set<std::string> roots;
    for (const SourceFile& file : walk.files) {
        roots.insert(file.root);
        if (options.shardCount > 0 &&
            shardOf(file.relativePath, options.shardCount) != options.shardIndex) {
            continue;
        }
        const std::string whole = absolutePath(file.path);
        SyncSource source;
        source.root = file.root;
        source.path = file.relativePath;
        source.outputFolder = file.relativeFolder;
        char baseName[kPathSize];
        if (splitPath(whole.c_str(), nullptr, 0, nullptr, 0, baseName, sizeof baseName, nullptr,
                      0) != 0) {
            baseName[0] = '\0';
        }
        source.baseName = baseName;
        source.file = factsOf(whole);
        run->sources.push_back(source);
        run->sourcePaths.push_back(whole);
    }
    run->roots.assign(roots.begin(), roots.end());
    run->durations.assign(run->sources.size(), 0.0);
    run->failures.assign(run->sources.size(), "");
    return true;
}

// A source's own folder at the top of the mirror may not be the mirror's hidden one.
bool claimsTheStateFolder(const SyncSource& source) {
    const std::string first = source.outputFolder.substr(0, source.outputFolder.find('/'));
    return first == kMirrorStateFolder;
}

// With --name, where the source's tags put its output below the mirror (a missing title
// is the source's own name).
void nameFromTags(const SyncRun& run, const MediaDetails& details, SyncSource* source) {
    const std::string named = expandNamePattern(run.options.namePattern, tagValuesOf(details),
                                                source->baseName, run.nameRules);
    const std::size_t slash = named.rfind('/');
    source->outputFolder = slash == std::string::npos ? "" : named.substr(0, slash);
    source->baseName = named.substr(slash + 1);
}

// Probes every source the manifest cannot vouch for, several at once: its length, its
// sound and its fingerprints. A source known as no media at the same size and time is
// not read again.
void probeSources(SyncRun* run, const MirrorFacts& facts) {
    const std::vector<int> recordOf = matchRecords(run->sources, run->records);
    std::map<std::string, const SkippedSource*> skipped;
    for (const SkippedSource& row : run->skippedRows) {
        skipped[row.sourceRoot + '\0' + row.sourcePath] = &row;
    }
    std::vector<int> wanted;
    for (std::size_t i = 0; i < run->sources.size(); ++i) {
        SyncSource& source = run->sources[i];
        const ManifestRecord* record =
            recordOf[i] >= 0 ? &run->records[static_cast<std::size_t>(recordOf[i])] : nullptr;
        const auto row = skipped.find(source.root + '\0' + source.path);
        if (claimsTheStateFolder(source)) {
            source.probed = true;
            run->failures[i] =
                std::string("its folder would be the mirror's own ") + kMirrorStateFolder;
        } else if (record == nullptr && row != skipped.end() &&
                   row->second->sourceSize == source.file.size &&
                   row->second->sourceTime == source.file.time) {
            source.probed = true; // no media, as the last sync found
        } else if (needsProbe(source, record, run->target, facts)) {
            wanted.push_back(static_cast<int>(i));
        }
    }
    if (wanted.empty()) {
        return;
    }
    std::vector<const char*> paths;
    for (int i : wanted) {
        paths.push_back(run->sourcePaths[static_cast<std::size_t>(i)].c_str());
    }
    ToolProcess prober;
    setToolProgram(&prober, run->toolFolder.c_str(), "pb.dat");
    ProbeAhead* ahead = createProbeAhead(prober.programPath, paths.data(),
                                         static_cast<int>(paths.size()), run->options.jobs);
    if (ahead == nullptr) {
        return;
    }
    askProbesFor(ahead, kProbeFingerprints | (run->options.named ? kProbeTags : 0u));
    ProbeOutcome outcome{};
    for (int i : wanted) {
        if (takeStopRequest() != 0) {
            run->stopped = true;
            break;
        }
        takeNextProbe(ahead, &outcome);
        SyncSource& source = run->sources[static_cast<std::size_t>(i)];
        source.probed = true;
        source.readable = outcome.result == kProbeReadable && outcome.hasAudio;
        source.audioFingerprint = outcome.details.audioFingerprint;
        source.tagFingerprint = outcome.details.tagFingerprint;
        run->durations[static_cast<std::size_t>(i)] = outcome.duration;
        if (run->options.named && source.readable) {
            nameFromTags(*run, outcome.details, &source);
        }
        if (outcome.result == kProbeNotStarted) {
            run->failures[static_cast<std::size_t>(i)] =
                std::string("the prober ") + prober.programPath + " could not be started";
        } else if (outcome.result == kProbeRefused) {
            run->failures[static_cast<std::size_t>(i)] =
                "the path is too long for the prober's command line";
        } else if (source.readable && source.audioFingerprint.empty()) {
            source.readable = false;
            run->failures[static_cast<std::size_t>(i)] =
                "the prober gave no fingerprint of its sound";
        }
    }
    releaseProbeAhead(ahead);
}

// --- the manifest ----------------------------------------------------------------------

ManifestRecord recordFor(const SyncRun& run, const SyncSource& source,
                         const std::string& outputPath, const FileFacts& output) {
    ManifestRecord record;
    record.outputPath = outputPath;
    record.sourceRoot = source.root;
    record.sourcePath = source.path;
    record.sourceSize = source.file.size;
    record.sourceTime = source.file.time;
    record.audioFingerprint = source.audioFingerprint;
    record.tagFingerprint = source.tagFingerprint;
    record.profile = run.options.profile->name;
    record.options = run.target.options;
    record.naming = run.target.naming;
    record.outputSize = output.size;
    record.outputTime = output.time;
    return record;
}

bool write(SyncRun* run, const SyncItem* item, bool written, const std::string& error) {
    if (!written) {
        fail(run, item, manifestPath(run->mirror), error);
    }
    return written;
}

// The source's output name with the first counter that nothing stands at, as every run
// names a file whose name is taken.
std::string besideTaken(const SyncRun& run, const SyncSource& source) {
    const std::string folder = source.outputFolder.empty() ? "" : source.outputFolder + "/";
    for (int counter = 0;; ++counter) {
        const std::string candidate =
            folder + source.baseName + "(" + std::to_string(counter) + ")" + run.target.extension;
        if (!factsOf(inMirror(run, candidate)).exists) {
            return candidate;
        }
    }
}

// Puts the finished file at `temporary` in place of the item's output and records it,
// `placed` the path below the mirror it got. A new output never replaces a file: one that
// appeared at its name meanwhile (another share's output of the same name, say) is left
// alone, and the output takes the first free counter. A replacement is recorded before the
// rename with the size and time of the file it replaces, so a run killed between the two
// knows the old file as its own.
bool putInPlace(SyncRun* run, const SyncItem& item, const std::string& temporary, bool replacing,
                std::string* placed) {
    const SyncSource& source = run->sources[static_cast<std::size_t>(item.source)];
    *placed = item.outputPath;
    const FileFacts made = factsOf(temporary);
    std::string error;
    forgetFacts(run, item.outputPath);
    if (!replacing) {
        int renamed = renameWithoutReplacing(temporary.c_str(), inMirror(*run, *placed).c_str());
        while (renamed == kRenameTargetExists) {
            *placed = besideTaken(*run, source);
            renamed = renameWithoutReplacing(temporary.c_str(), inMirror(*run, *placed).c_str());
        }
        if (renamed != kRenameDone) {
            unlink(temporary.c_str());
            fail(run, &item, inMirror(*run, *placed),
                 std::string("cannot be put in place: ") + std::strerror(errno));
            return false;
        }
        forgetFacts(run, *placed);
        return write(run, &item,
                     putRecord(run->manifest, recordFor(*run, source, *placed, made), &error),
                     error);
    }
    const std::string target = inMirror(*run, item.outputPath);
    ManifestRecord record = recordFor(*run, source, item.outputPath, made);
    const FileFacts old = factsOf(target);
    record.replacedSize = old.size;
    record.replacedTime = old.time;
    if (!write(run, &item, putRecord(run->manifest, record, &error), error)) {
        unlink(temporary.c_str());
        return false;
    }
    if (renameReplacing(temporary.c_str(), target.c_str()) != kRenameDone) {
        unlink(temporary.c_str());
        fail(run, &item, target, std::string("cannot be put in place: ") + std::strerror(errno));
        return false;
    }
    record.replacedSize = 0;
    record.replacedTime = 0;
    return write(run, &item, putRecord(run->manifest, record, &error), error);
}

// Removes the folders below the mirror that `outputPath`'s removal left empty, from its
// own folder up; the mirror itself and its hidden folder stay.
void removeEmptyFolders(const SyncRun& run, const std::string& outputPath) {
    for (std::string folder = parentOf(outputPath); !folder.empty() && folder != kMirrorStateFolder;
         folder = parentOf(folder)) {
        if (rmdir(inMirror(run, folder).c_str()) != 0) {
            break; // not empty, or not ours to remove
        }
    }
}

// Removes an output that is still as the manifest says we wrote it, then its record.
bool removeOutput(SyncRun* run, const SyncItem& item, const ManifestRecord& record) {
    forgetFacts(run, record.outputPath);
    const OutputState state = outputState(record, factsOf(inMirror(*run, record.outputPath)));
    std::string error;
    if ((state == OutputState::Written || state == OutputState::Stale) &&
        unlink(inMirror(*run, record.outputPath).c_str()) != 0) {
        fail(run, &item, inMirror(*run, record.outputPath),
             std::string("cannot be removed: ") + std::strerror(errno));
        return false;
    }
    if (!write(run, &item, removeRecord(run->manifest, record.outputPath, &error), error)) {
        return false;
    }
    removeEmptyFolders(*run, record.outputPath);
    return state == OutputState::Written || state == OutputState::Stale;
}

bool makeFolders(const SyncRun& run, const std::string& outputPath) {
    std::error_code error;
    const std::string folder = parentOf(outputPath);
    return folder.empty() || fs::create_directories(inMirror(run, folder), error) || !error;
}

// --- the steps -------------------------------------------------------------------------

void removeGone(SyncRun* run, const SyncItem& item) {
    const ManifestRecord& record = run->records[static_cast<std::size_t>(item.record)];
    if (item.step == SyncStep::Forget) {
        std::string error;
        if (write(run, &item, removeRecord(run->manifest, record.outputPath, &error), error)) {
            reportStep(&run->report, SyncStep::Forget, false, record.outputPath,
                       subjectOf(*run, &item), item.reason);
        }
        return;
    }
    if (removeOutput(run, item, record)) {
        reportStep(&run->report, SyncStep::Remove, false, record.outputPath,
                   subjectOf(*run, &item));
    }
}

bool retag(SyncRun* run, const SyncItem& item);

// Renames the output to follow its source (or its tags), its record with it.
void move(SyncRun* run, const SyncItem& item) {
    const SyncSource& source = run->sources[static_cast<std::size_t>(item.source)];
    const ManifestRecord& old = run->records[static_cast<std::size_t>(item.record)];
    const std::string to = inMirror(*run, item.outputPath);
    forgetFacts(run, item.outputPath);
    forgetFacts(run, old.outputPath);
    if (item.outputPath != item.oldOutputPath) {
        const int renamed =
            !makeFolders(*run, item.outputPath)
                ? kRenameFailed
                : renameWithoutReplacing(inMirror(*run, old.outputPath).c_str(), to.c_str());
        if (renamed != kRenameDone) {
            fail(run, &item, inMirror(*run, old.outputPath),
                 renamed == kRenameTargetExists
                     ? "cannot follow its source: " + to + " is taken"
                     : std::string("cannot follow its source: ") + std::strerror(errno));
            return;
        }
    }
    // The output moved; its record follows with the source's new place and the tags it
    // still has (a re-tag below writes the new ones).
    SyncSource moved = source;
    moved.tagFingerprint = old.tagFingerprint;
    ManifestRecord record = recordFor(*run, moved, item.outputPath, factsOf(to));
    std::string error;
    const bool recorded = beginChanges(run->manifest, &error) &&
                          removeRecord(run->manifest, old.outputPath, &error) &&
                          putRecord(run->manifest, record, &error) &&
                          commitChanges(run->manifest, &error);
    if (!write(run, &item, recorded, error)) {
        return;
    }
    removeEmptyFolders(*run, old.outputPath);
    reportStep(&run->report, SyncStep::Move, item.retag, old.outputPath + " -> " + item.outputPath,
               subjectOf(*run, &item));
    if (item.retag) {
        retag(run, item);
    }
}

// The sources whose record only follows them (their time, or the naming, changed, not
// their output): one transaction.
void followTouched(SyncRun* run, const std::vector<SyncItem>& plan) {
    std::string error;
    bool open = false;
    for (const SyncItem& item : plan) {
        if (item.step != SyncStep::Touched) {
            continue;
        }
        if (!open && !write(run, &item, beginChanges(run->manifest, &error), error)) {
            return;
        }
        open = true;
        ManifestRecord record = run->records[static_cast<std::size_t>(item.record)];
        const SyncSource& source = run->sources[static_cast<std::size_t>(item.source)];
        record.sourceSize = source.file.size;
        record.sourceTime = source.file.time;
        record.naming = run->target.naming;
        if (!putRecord(run->manifest, record, &error)) {
            rollBackChanges(run->manifest);
            write(run, &item, false, error);
            return;
        }
    }
    if (open) {
        write(run, nullptr, commitChanges(run->manifest, &error), error);
    }
}

// Outputs already at new sources' names: taken over when their length is the source's.
void adopt(SyncRun* run, const std::vector<SyncItem>& plan) {
    std::vector<const SyncItem*> items;
    std::vector<std::string> outputs;
    for (const SyncItem& item : plan) {
        if (item.step == SyncStep::Adopt) {
            items.push_back(&item);
            outputs.push_back(inMirror(*run, item.outputPath));
        }
    }
    if (items.empty()) {
        return;
    }
    std::vector<const char*> paths;
    for (const std::string& output : outputs) {
        paths.push_back(output.c_str());
    }
    ToolProcess prober;
    setToolProgram(&prober, run->toolFolder.c_str(), "pb.dat");
    ProbeAhead* ahead = createProbeAhead(prober.programPath, paths.data(),
                                         static_cast<int>(paths.size()), run->options.jobs);
    ProbeOutcome outcome{};
    for (std::size_t i = 0;
         ahead != nullptr && i < items.size() && takeNextProbe(ahead, &outcome) == 1; ++i) {
        const SyncItem& item = *items[i];
        const SyncSource& source = run->sources[static_cast<std::size_t>(item.source)];
        const double length = run->durations[static_cast<std::size_t>(item.source)];
        const bool whole =
            outcome.result == kProbeReadable && lengthsMatch(outcome.duration, length);
        std::string error;
        if (!whole) {
            fail(run, &item, outputs[i],
                 "is not nemarro's and is not the whole of " + sourceOf(*run, item.source) +
                     ": left alone");
        } else if (write(run, &item,
                         putRecord(run->manifest,
                                   recordFor(*run, source, item.outputPath, factsOf(outputs[i])),
                                   &error),
                         error)) {
            SyncSubject subject = subjectOf(*run, &item);
            subject.outputSeconds = outcome.duration;
            reportStep(&run->report, SyncStep::Adopt, false, item.outputPath, subject);
        }
    }
    releaseProbeAhead(ahead);
}

// Re-tags the item's output with the source's tags and cover, its sound copied.
bool retag(SyncRun* run, const SyncItem& item) {
    const std::string target = inMirror(*run, item.outputPath);
    char temporary[kPathSize];
    ToolProcess encoder;
    if (temporaryOutputPath(target.c_str(), temporary, sizeof temporary) != 0 ||
        setToolProgram(&encoder, run->toolFolder.c_str(), "cv.dat") != 0 ||
        buildRetagCommandLine(encoder.programPath, target.c_str(),
                              sourceOf(*run, item.source).c_str(), temporary,
                              encoder.commandLine) != kBuildDone) {
        fail(run, &item, target, "its re-tag's command line would be too long");
        return false;
    }
    if (startTool(&encoder) == 0) {
        fail(run, &item, target,
             std::string("the encoder ") + encoder.programPath + " could not be started");
        return false;
    }
    while (pollTool(&encoder) == 0) {
        usleep(10000);
    }
    if (!toolExitedCleanly(&encoder) || factsOf(temporary).size <= 0) {
        unlink(temporary);
        fail(run, &item, target, "the encoder could not copy its sound with the new tags");
        return false;
    }
    std::string placed;
    if (!putInPlace(run, item, temporary, true, &placed)) {
        return false;
    }
    SyncSubject subject = subjectOf(*run, &item);
    subject.from.clear(); // after a move, the output is where it moved to
    reportStep(&run->report, SyncStep::Retag, false, item.outputPath, subject);
    return true;
}

// --- conversions on the engine's queue -------------------------------------------------

struct Conversion {
    const SyncItem* item;
    ConversionJob* job;
    std::string placed = {}; // below the mirror, once put in place
};

// The queue's reports for a sync: each output at the name the plan gave it, put in place
// with its record, and told.
class SyncView : public JobRunView {
public:
    explicit SyncView(SyncRun* run, std::vector<Conversion>* conversions)
        : m_run(run), m_conversions(conversions) {}
    void jobStarted(const ConversionJob&, const char*) override {}
    void jobProgress(const ConversionJob&, float, const char*) override {}
    void jobEnded(const JobVerdict& verdict) override {
        const Conversion& conversion = of(*verdict.job);
        const SyncItem& item = *conversion.item;
        if (verdict.outcome == JobOutcome::Converted) {
            SyncSubject subject = subjectOf(*m_run, &item);
            subject.output = inMirror(*m_run, conversion.placed);
            if (std::isfinite(verdict.percent)) {
                subject.outputSeconds =
                    verdict.percent / 100.0 * (verdict.job->trimEnd - verdict.job->trimStart);
            }
            reportStep(&m_run->report, item.step, false,
                       sourceOf(*m_run, item.source) + " -> " + conversion.placed, subject);
            if (!item.oldOutputPath.empty()) {
                // The output of its old name goes once the new one is whole.
                removeOutput(m_run, item, m_run->records[static_cast<std::size_t>(item.record)]);
            }
        } else if (verdict.outcome != JobOutcome::Stopped &&
                   verdict.outcome != JobOutcome::OutputNotPlaced) {
            fail(m_run, &item, sourceOf(*m_run, item.source),
                 verdict.job->note[0] != '\0' ? verdict.job->note : "not converted");
        }
    }
    void showJobNote(const ConversionJob&) override {}
    void queueProgress(int, int) override {}
    void folderRefused(const ConversionJob&, const char*) override {}
    bool skipJob(const ConversionJob&) override { return false; }
    const char* outputPathFor(const ConversionJob& job) override {
        m_path = inMirror(*m_run, of(job).item->outputPath);
        return m_path.c_str();
    }
    // The record is written with the rename (putInPlace); a stopped file was dropped.
    bool placeOutput(ConversionJob& job, const char* temporary, char*,
                     const OutputClaims*) override {
        Conversion& conversion = of(job);
        return putInPlace(m_run, *conversion.item, temporary,
                          conversion.item->step == SyncStep::Replace, &conversion.placed);
    }

private:
    Conversion& of(const ConversionJob& job) {
        return (*m_conversions)[static_cast<std::size_t>(job.row)];
    }
    SyncRun* m_run;
    std::vector<Conversion>* m_conversions;
    std::string m_path;
};

void convert(SyncRun* run, const std::vector<SyncItem>& plan) {
    std::vector<Conversion> conversions;
    for (const SyncItem& item : plan) {
        if (item.step == SyncStep::Convert || item.step == SyncStep::Replace) {
            conversions.push_back(Conversion{&item, nullptr});
        }
    }
    if (conversions.empty()) {
        return;
    }
    SyncView view(run, &conversions);
    ConversionQueue queue;
    QueueOptions queueOptions;
    queueOptions.lanes = run->options.jobs;
    queueOptions.createFolders = true;
    queueOptions.goOnAtRefusedFolder = true;
    queueOptions.temporaryOutputs = true;      // a stopped part is dropped: the next sync redoes it
    queueOptions.verify = run->options.verify; // a mirror holds only whole files
    initConversionQueue(&queue, queueOptions, &view);
    setQueueProgram(&queue, run->toolFolder.c_str(), "cv.dat");
    setQueueChecker(&queue, run->toolFolder.c_str(), "pb.dat");
    for (std::size_t i = 0; i < conversions.size(); ++i) {
        Conversion& conversion = conversions[i];
        const SyncItem& item = *conversion.item;
        const std::string folder = parentOf(inMirror(*run, item.outputPath));
        conversion.job =
            createJob(sourceOf(*run, item.source).c_str(),
                      run->durations[static_cast<std::size_t>(item.source)], run->options.profile);
        if (conversion.job == nullptr || setJobDestination(conversion.job, folder.c_str()) != 0) {
            fail(run, &item, sourceOf(*run, item.source),
                 "the path or its output folder is too long");
            continue;
        }
        conversion.job->row = static_cast<int32_t>(i);
        appendQueuedJob(&queue, conversion.job);
    }
    closeQueue(&queue);
    int stops = 0;
    for (;;) {
        if (takeStopRequest() != 0) {
            const int running = stopQueue(&queue);
            run->stopped = true;
            if (stops++ == 0) {
                reportNote(&run->report, "stopping",
                           std::to_string(running) +
                               " running files are dropped; the next sync completes them");
            }
        }
        finishEndedJobs(&queue);
        startQueuedJobs(&queue);
        if (queueFinished(&queue)) {
            break;
        }
        waitForQueue(&queue, kWaitMilliseconds);
    }
    releaseConversionQueue(&queue);
    for (Conversion& conversion : conversions) {
        releaseJob(conversion.job);
    }
}

// --- the whole run ---------------------------------------------------------------------

// A dry run's plan: each step that would be taken.
void printPlan(SyncRun* run, const std::vector<SyncItem>& plan) {
    for (const SyncItem& item : plan) {
        const SyncSubject subject = subjectOf(*run, &item);
        switch (item.step) {
        case SyncStep::Unchanged:
        case SyncStep::Touched:
            countUnchanged(&run->report, 1);
            break;
        case SyncStep::Convert:
        case SyncStep::Replace:
        case SyncStep::Retag:
            reportStep(&run->report, item.step, false,
                       sourceOf(*run, item.source) + " -> " + item.outputPath, subject);
            break;
        case SyncStep::Move:
            reportStep(&run->report, item.step, item.retag,
                       item.oldOutputPath + " -> " + item.outputPath, subject);
            break;
        case SyncStep::Adopt:
            reportStep(&run->report, item.step, false,
                       item.outputPath + " (if its length is the source's)", subject);
            break;
        case SyncStep::Remove:
            reportStep(&run->report, item.step, false, item.outputPath, subject);
            break;
        case SyncStep::Forget:
            reportStep(&run->report, item.step, false, item.outputPath, subject, item.reason);
            break;
        case SyncStep::Conflict:
            fail(run, &item, inMirror(*run, item.outputPath), item.reason);
            break;
        case SyncStep::Unreadable:
            break; // carried out at once: nothing to change
        }
    }
}

// What is settled without a step: sources that are no media, sources that could not be
// probed, conflicts.
void settle(SyncRun* run, const std::vector<SyncItem>& plan) {
    std::string error;
    for (const SyncItem& item : plan) {
        if (item.step != SyncStep::Unreadable) {
            if (item.step == SyncStep::Conflict && !run->options.dryRun) {
                fail(run, &item, inMirror(*run, item.outputPath), item.reason);
            }
            continue;
        }
        const std::string& failure = run->failures[static_cast<std::size_t>(item.source)];
        const SyncSource& source = run->sources[static_cast<std::size_t>(item.source)];
        if (!failure.empty()) {
            fail(run, &item, sourceOf(*run, item.source), failure);
        } else if (item.record >= 0) {
            fail(run, &item, sourceOf(*run, item.source),
                 "is no media with sound any more; its output " + item.outputPath +
                     " is left as it is");
        } else {
            reportSkipped(&run->report, subjectOf(*run, &item));
            if (!run->options.dryRun) {
                putSkipped(run->manifest,
                           {source.root, source.path, source.file.size, source.file.time}, &error);
            }
        }
    }
}

void removeStaleTemporariesBelow(const std::string& mirror) {
    std::error_code error;
    removeStaleTemporaries(mirror.c_str());
    for (fs::recursive_directory_iterator
             it(mirror, fs::directory_options::skip_permission_denied, error),
         end;
         !error && it != end; it.increment(error)) {
        std::error_code typeError;
        if (it->is_directory(typeError) && !it->is_symlink(typeError)) {
            if (it.depth() == 0 && it->path().filename() == kMirrorStateFolder) {
                it.disable_recursion_pending();
                continue;
            }
            removeStaleTemporaries(it->path().c_str());
        }
    }
}

} // namespace

int runSync(const CliOptions& options, const char* toolFolder) {
    SyncRun run{options, toolFolder, absolutePath(options.outputFolder)};
    const char* extension = selectedExtension(*options.profile);
    run.target.extension = extension != nullptr ? extension : "";
    run.target.options = syncOptionsText(*options.profile);
    run.target.naming = options.named ? options.namePattern.text : "";
    // Shares plan their names apart: under --name, two of them may name one output.
    run.target.adoptStrangers = !(options.named && options.shardCount > 0);
    initSyncReport(&run.report, options.quiet, options.json, options.dryRun);
    std::string error;
    watchStopRequests();

    const bool sharded = options.shardCount > 0;
    const std::string shareName = shareManifestName(options.shardIndex, options.shardCount);
    const bool hasManifest =
        access(manifestPath(run.mirror).c_str(), F_OK) == 0 ||
        (sharded && access(manifestPath(run.mirror, shareName.c_str()).c_str(), F_OK) == 0);
    MirrorLock* lock = nullptr;
    if (!options.dryRun || hasManifest) {
        std::error_code made;
        if (!options.dryRun) {
            fs::create_directories(fs::path(run.mirror) / kMirrorStateFolder, made);
        }
        if (sharded) {
            // A share keeps its own manifest: no two processes ever write one database.
            lock = lockMirrorShare(run.mirror, options.shardIndex, options.shardCount, &error);
            run.manifest =
                lock == nullptr ? nullptr
                : options.dryRun &&
                        access(manifestPath(run.mirror, shareName.c_str()).c_str(), F_OK) != 0
                    ? openManifest(run.mirror, &error) // read only, its share taken below
                    : openShareManifest(run.mirror, options.shardIndex, options.shardCount, &error);
        } else {
            run.manifest = openManifest(run.mirror, &error);
            lock = run.manifest != nullptr ? lockMirror(run.mirror, &error) : nullptr;
            // The shares' records come home first.
            if (lock != nullptr && !options.dryRun &&
                gatherShareManifests(run.mirror, run.manifest, &error) < 0) {
                unlockMirror(lock);
                lock = nullptr;
            }
        }
        if (lock == nullptr || run.manifest == nullptr ||
            !readRecords(run.manifest, &run.records, &error) ||
            !readSkipped(run.manifest, &run.skippedRows, &error)) {
            std::fprintf(stderr, "nemarro-cli: %s\n", error.c_str());
            unlockMirror(lock);
            closeManifest(run.manifest);
            return kExitSomeFailed;
        }
    }
    if (sharded) {
        // The main manifest of a dry run holds every share's records.
        std::erase_if(run.records, [&](const ManifestRecord& record) {
            return !recordInShare(record, options.shardIndex, options.shardCount);
        });
    }
    // A shard leaves leftovers alone: on another machine sharing the mirror, a part that
    // looks abandoned here may be one that is being written. An unsharded sync clears them.
    if (!options.dryRun && !sharded) {
        removeStaleTemporariesBelow(run.mirror);
    }
    if (options.named) {
        run.nameRules = nameRulesFor(run.mirror);
    }
    if (!walkSources(&run, &error)) {
        std::fprintf(stderr, "nemarro-cli: %s\n", error.c_str());
        unlockMirror(lock);
        closeManifest(run.manifest);
        return kExitBadUsage;
    }
    const MirrorFacts facts = mirrorFacts(&run);
    probeSources(&run, facts);
    const std::vector<SyncItem> plan =
        run.stopped ? std::vector<SyncItem>()
                    : planSync(run.sources, run.records, run.roots, run.target, facts);
    if (options.dryRun) {
        printPlan(&run, plan);
        settle(&run, plan);
    } else if (!run.stopped) {
        settle(&run, plan);
        for (const SyncItem& item : plan) {
            if (item.step == SyncStep::Remove || item.step == SyncStep::Forget) {
                removeGone(&run, item);
            }
        }
        for (const SyncItem& item : plan) {
            if (item.step == SyncStep::Move && !run.stopped) {
                move(&run, item);
            }
            run.stopped = run.stopped || takeStopRequest() != 0;
        }
        followTouched(&run, plan);
        for (const SyncItem& item : plan) {
            countUnchanged(&run.report,
                           item.step == SyncStep::Unchanged || item.step == SyncStep::Touched);
        }
        adopt(&run, plan);
        if (!run.stopped) {
            convert(&run, plan);
        }
        for (const SyncItem& item : plan) {
            run.stopped = run.stopped || takeStopRequest() != 0;
            if (item.step == SyncStep::Retag && !run.stopped) {
                retag(&run, item);
            }
        }
    }
    reportSummary(&run.report, run.mirror, run.stopped);
    unlockMirror(lock);
    closeManifest(run.manifest);
    if (run.stopped) {
        return kExitInterrupted;
    }
    return run.report.tally.failed > 0 ? kExitSomeFailed : kExitConverted;
}
