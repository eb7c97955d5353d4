// nemarro-cli --sync with nothing to do: the time it takes and the resident memory it needs.
// With N files (600 by default) the library is synced for real first, and the figures of
// both syncs are printed with their ratio. With --seed, the first sync is skipped: the
// mirror and its manifest are written as a first sync would leave them (one real output
// copied to every name, one real probe's fingerprints), so 10,000 files take seconds to
// set up. Either way the sync measured is the real program over the real files.
// Usage: sync_bench [files (600)] [--seed]
#include "catalogue.h"
#include "cli_options.h"
#include "media_probe.h"
#include "probe_ahead.h"
#include "sync_manifest.h"
#include "sync_plan.h"
#include "tool_process.h"

#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

// Files per folder, as in an album.
constexpr int kFilesPerFolder = 12;

struct Outcome {
    bool ok = false;
    double seconds = 0.0;
    long maxResidentKib = 0;
    std::string output;
};

// Runs a program to its end, its output kept; the wall time and its peak resident memory.
Outcome run(const std::vector<std::string>& arguments) {
    Outcome outcome;
    const std::string log =
        fs::temp_directory_path() / ("sync_bench." + std::to_string(getpid()) + ".log");
    std::vector<char*> argv;
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        outcome.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        outcome.maxResidentKib = usage.ru_maxrss;
    }
    outcome.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    posix_spawn_file_actions_destroy(&actions);
    FILE* in = std::fopen(log.c_str(), "r");
    char buffer[4096];
    for (std::size_t got; in != nullptr && (got = std::fread(buffer, 1, sizeof buffer, in)) > 0;)
        outcome.output.append(buffer, got);
    if (in != nullptr)
        std::fclose(in);
    fs::remove(log);
    return outcome;
}

std::string summaryLine(const std::string& output) {
    const std::size_t at = output.rfind(" converted, ");
    if (at == std::string::npos)
        return "(no summary)";
    const std::size_t start = output.rfind('\n', at);
    return output.substr(start == std::string::npos ? 0 : start + 1,
                         output.find('\n', at) - (start == std::string::npos ? 0 : start + 1));
}

int64_t nanoseconds(const std::string& path, int64_t* size) {
    struct stat info {};
    stat(path.c_str(), &info);
    *size = info.st_size;
    return static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
}

std::string relative(int index) {
    char name[64];
    std::snprintf(name, sizeof name, "Artist %03d/Album/%02d Track", index / kFilesPerFolder,
                  index % kFilesPerFolder + 1);
    return name;
}

// The manifest and the outputs a first sync of `files` sources would have left.
bool seedMirror(const std::string& bin, const std::string& library, const std::string& mirror,
                int files) {
    const std::string sample = library + "/" + relative(0) + ".flac";
    const std::string output = mirror + "/" + relative(0) + ".mp3";
    if (!run({bin + "/nemarro-cli", "-q", "-o", mirror, sample}).ok) // a real output to copy
        return false;
    fs::create_directories(fs::path(output).parent_path());
    fs::rename(mirror + "/" + fs::path(relative(0)).filename().string() + ".mp3", fs::path(output));
    ToolProcess probe;
    setToolProgram(&probe, bin.c_str(), "pb.dat");
    const char* paths[] = {sample.c_str()};
    ProbeAhead* ahead = createProbeAhead(probe.programPath, paths, 1, 1);
    askProbesFor(ahead, kProbeFingerprints);
    ProbeOutcome outcome{};
    takeNextProbe(ahead, &outcome);
    releaseProbeAhead(ahead);
    std::string error;
    SyncManifest* manifest = openManifest(mirror, &error);
    if (manifest == nullptr || !beginChanges(manifest, &error))
        return false;
    // The profile as the sync reads it from its command line (rate and channels the source's).
    std::string arguments[] = {"nemarro-cli", "--sync", "-o", mirror, library};
    char* argv[] = {arguments[0].data(), arguments[1].data(), arguments[2].data(),
                    arguments[3].data(), arguments[4].data()};
    CliOptions options;
    if (parseCliOptions(5, argv, &options, &error) != CliRequest::Convert)
        return false;
    const ConversionProfile* profile = options.profile;
    for (int i = 0; i < files; ++i) {
        const std::string name = relative(i);
        if (i > 0) {
            fs::create_directories(fs::path(mirror + "/" + name).parent_path());
            fs::copy_file(output, mirror + "/" + name + ".mp3",
                          fs::copy_options::overwrite_existing);
        }
        ManifestRecord record;
        record.outputPath = name + ".mp3";
        record.sourceRoot = library;
        record.sourcePath = name + ".flac";
        record.sourceTime = nanoseconds(library + "/" + record.sourcePath, &record.sourceSize);
        record.audioFingerprint = outcome.details.audioFingerprint;
        record.tagFingerprint = outcome.details.tagFingerprint;
        record.profile = profile->name;
        record.options = syncOptionsText(*profile);
        record.outputTime = nanoseconds(mirror + "/" + record.outputPath, &record.outputSize);
        if (!putRecord(manifest, record, &error))
            return false;
    }
    const bool done = commitChanges(manifest, &error);
    closeManifest(manifest);
    return done;
}

} // namespace

int main(int argc, char** argv) {
    const int files = argc > 1 && std::atoi(argv[1]) > 0 ? std::atoi(argv[1]) : 600;
    const bool seed = argc > 2 && std::strcmp(argv[2], "--seed") == 0;
    const std::string bin = fs::canonical("/proc/self/exe").parent_path().string();
    const std::string root = fs::temp_directory_path() / ("sync_bench-" + std::to_string(getpid()));
    const std::string library = root + "/Music";
    const std::string mirror = root + "/mp3";
    fs::create_directories(library);
    // One half-second tagged FLAC, copied to every name: each is a file of its own.
    const std::string sample = root + "/sample.flac";
    if (!run({"/usr/bin/ffmpeg", "-v", "error", "-f", "lavfi", "-i", "sine=duration=0.5",
              "-metadata", "title=Track", "-y", sample})
             .ok) {
        std::fprintf(stderr, "sync_bench: ffmpeg could not make the sample\n");
        return 1;
    }
    for (int i = 0; i < files; ++i) {
        const std::string path = library + "/" + relative(i) + ".flac";
        fs::create_directories(fs::path(path).parent_path());
        fs::copy_file(sample, path);
    }
    const std::vector<std::string> sync = {bin + "/nemarro-cli", "--sync", "-o", mirror, library};
    double first = 0.0;
    if (seed) {
        if (!seedMirror(bin, library, mirror, files)) {
            std::fprintf(stderr, "sync_bench: the mirror could not be seeded\n");
            return 1;
        }
    } else {
        const Outcome made = run(sync);
        first = made.seconds;
        std::printf("first sync of %d files: %.2f s, %ld MB resident at most\n  %s\n", files,
                    made.seconds, made.maxResidentKib / 1024, summaryLine(made.output).c_str());
    }
    const Outcome idle = run(sync);
    std::printf("sync with nothing to do, %d files: %.3f s, %.1f MB resident at most\n  %s\n",
                files, idle.seconds, idle.maxResidentKib / 1024.0,
                summaryLine(idle.output).c_str());
    if (!seed && idle.seconds > 0)
        std::printf("the first sync took %.0f times as long\n", first / idle.seconds);
    fs::remove_all(root);
    // A sync that found work to do measured something else: say so, never pass it off.
    const bool nothingDone =
        idle.output.find(": 0 converted, 0 re-tagged, 0 moved, 0 removed, ") != std::string::npos;
    if (!nothingDone)
        std::fprintf(stderr, "sync_bench: the second sync was not idle\n");
    return idle.ok && nothingDone ? 0 : 1;
}
