// The engine's cost over the work itself: conversions driven the way the window drives
// them (cv.dat polled every 50 ms) against ffmpeg called directly, and probing through
// pb.dat against plain ffprobe calls. Prints wall times, their ratio and the extra time
// per file. Usage: engine_bench [three-minute files] [one-second files] [probed files]
#include "catalogue.h"
#include "encoder_command_line.h"
#include "conversion_run.h"
#include "encoder_progress.h"
#include "executable_folder.h"
#include "job_list.h"
#include "media_probe.h"
#include "program_lookup.h"
#include "tool_process.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

// The encoder and its progress, wired by initConversionRun before the first use.
ConversionRun s_run;

constexpr useconds_t kPollInterval = 50000; // the window's encoder timer

double now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// Runs a program to its end with no input and its output discarded; returns its status.
int runQuietly(const std::vector<std::string>& argv) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    std::vector<char*> args;
    for (const std::string& argument : argv)
        args.push_back(const_cast<char*>(argument.c_str()));
    args.push_back(nullptr);
    pid_t pid = -1;
    int status = -1;
    if (posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ) == 0)
        waitpid(pid, &status, 0);
    posix_spawn_file_actions_destroy(&actions);
    return status;
}

double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// One conversion as the conversion control runs it: prepare, start, then a poll every
// 50 ms until the end is reported. Returns the wall time; `percent` gets the final progress.
double convertWithEngine(ConversionJob* job, double& percent, std::string& outputPath) {
    const double start = now();
    resetEncoderProgress(&s_run.progress);
    clearToolRun(&s_run.encoder);
    s_run.progress.job = job;
    if (s_run.encoder.handlers->prepare(&s_run.encoder) != kBuildDone ||
        startTool(&s_run.encoder) == 0) {
        percent = 0;
        return now() - start;
    }
    do {
        usleep(kPollInterval);
    } while (pollTool(&s_run.encoder) == 0);
    s_run.encoder.handlers->finish(&s_run.encoder);
    const double seconds = now() - start;
    percent = progressPercent(&s_run.progress);
    clearToolRun(&s_run.encoder);
    char folder[kPathSize];
    outputFolder(*job, folder);
    outputPath = std::string(folder) + job->outputBaseName + selectedExtension(*job->profile);
    return seconds;
}

// The same conversion by calling ffmpeg directly with what cv.dat would hand it.
double convertDirectly(const std::string& ffmpeg, const std::string& input,
                       const std::vector<std::string>& audioOptions, const std::string& output) {
    std::vector<std::string> argv = {ffmpeg, "-hide_banner", "-i", input, "-vn", "-y"};
    argv.insert(argv.end(), audioOptions.begin(), audioOptions.end());
    argv.push_back(output);
    const double start = now();
    const int status = runQuietly(argv);
    const double seconds = now() - start;
    if (status != 0)
        std::printf("  ffmpeg failed on %s\n", input.c_str());
    return seconds;
}

bool generateTone(const std::string& ffmpeg, const std::string& path, int seconds) {
    return runQuietly({ffmpeg, "-f", "lavfi", "-i",
                       "sine=frequency=440:sample_rate=44100:duration=" + std::to_string(seconds),
                       "-ac", "2", "-y", path}) == 0;
}

// Converts every file both ways, alternating which goes first so that a busy machine
// weighs on both alike. Returns the engine's and ffmpeg's times per file.
void compareConversions(const std::string& ffmpeg, const std::vector<std::string>& inputs,
                        ConversionProfile* profile, const std::vector<std::string>& audioOptions,
                        const std::string& outFolder, std::vector<double>& engineTimes,
                        std::vector<double>& directTimes, int& failures) {
    currentProfile = profile;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        clearJobs();
        if (probeAndAddJob(inputs[i].c_str()) != kProbeAdded) {
            ++failures;
            continue;
        }
        setDestinationForAll(outFolder.c_str());
        ConversionJob* job = jobAt(0);
        const std::string directOutput = outFolder + "/direct" + selectedExtension(*profile);
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn == 0) == (i % 2 == 0)) {
                double percent = 0;
                std::string output;
                engineTimes.push_back(convertWithEngine(job, percent, output));
                if (percent < 88 || !toolExitedCleanly(&s_run.encoder))
                    ++failures;
                unlink(output.c_str());
            } else {
                directTimes.push_back(convertDirectly(ffmpeg, inputs[i], audioOptions, directOutput));
                unlink(directOutput.c_str());
            }
        }
    }
    clearJobs();
}

double sum(const std::vector<double>& values) {
    double total = 0;
    for (double value : values)
        total += value;
    return total;
}

} // namespace

int main(int argc, char** argv) {
    const int longFiles = argc > 1 ? std::atoi(argv[1]) : 3;
    const int shortFiles = argc > 2 ? std::atoi(argv[2]) : 20;
    const int probedFiles = argc > 3 ? std::atoi(argv[3]) : 100;

    const std::string ffmpeg = findProgramOnPath("ffmpeg");
    const std::string ffprobe = findProgramOnPath("ffprobe");
    char toolsFolder[kPathSize];
    if (ffmpeg.empty() || ffprobe.empty() || executableFolder(toolsFolder, sizeof toolsFolder) != 0) {
        std::fprintf(stderr, "engine_bench: needs ffmpeg and ffprobe on PATH\n");
        return 1;
    }
    initConversionRun(&s_run, nullptr);
    setToolProgram(&s_run.encoder, toolsFolder, "cv.dat");
    setToolProgram(&g_probeProcess, toolsFolder, "pb.dat");

    std::string folder = (std::filesystem::temp_directory_path() / "nemarro-bench-XXXXXX").string();
    if (!mkdtemp(folder.data()))
        return 1;
    const std::string outFolder = folder + "/out";
    std::filesystem::create_directory(outFolder);
    int failures = 0;

    // 1. Three-minute stereo files to MP3 at the start selection.
    std::vector<std::string> longInputs;
    for (int i = 0; i < longFiles; ++i) {
        longInputs.push_back(folder + "/long" + std::to_string(i) + ".wav");
        generateTone(ffmpeg, longInputs.back(), 180);
    }
    std::vector<double> engineLong, directLong;
    compareConversions(ffmpeg, longInputs,
                       findProfile(kGeneralAudioCategory, "MP3 - MPEG Layer-3 Audio"),
                       {"-c:a", "libmp3lame", "-b:a", "128K", "-ar", "48000", "-ac", "2"},
                       outFolder, engineLong, directLong, failures);
    std::printf("MP3, %d three-minute stereo files: engine %.3f s, ffmpeg directly %.3f s, "
                "ratio %.3f (target <= 1.05); per file median %.3f s against %.3f s\n",
                longFiles, sum(engineLong), sum(directLong), sum(engineLong) / sum(directLong),
                median(engineLong), median(directLong));

    // 2. One-second files to WAV: what the engine adds to every file.
    std::vector<std::string> shortInputs;
    const std::string shortTone = folder + "/short.wav";
    generateTone(ffmpeg, shortTone, 1);
    for (int i = 0; i < shortFiles; ++i) {
        shortInputs.push_back(folder + "/short" + std::to_string(i) + ".wav");
        std::filesystem::copy_file(shortTone, shortInputs.back());
    }
    std::vector<double> engineShort, directShort, extra;
    compareConversions(ffmpeg, shortInputs, findProfile(kGeneralAudioCategory, "WAV - Waveform Audio"),
                       {"-c:a", "pcm_s16le", "-ar", "44100", "-ac", "2"}, outFolder, engineShort,
                       directShort, failures);
    for (std::size_t i = 0; i < std::min(engineShort.size(), directShort.size()); ++i)
        extra.push_back(engineShort[i] - directShort[i]);
    std::printf("WAV, %d one-second files: engine median %.1f ms, ffmpeg directly median %.1f ms, "
                "engine's extra time per file median %.1f ms (target <= 60 ms)\n",
                shortFiles, median(engineShort) * 1000, median(directShort) * 1000,
                median(extra) * 1000);

    // 3. Probing: probeAndAddJob through pb.dat against plain ffprobe calls, and where the
    // time of one probe goes: pb.dat run directly, pb.dat refusing a folder (its start-up:
    // loading and linking the libav libraries, nothing read), and the floor, /bin/true in
    // place of pb.dat through the same probeAndAddJob path (process start, pipes, polling).
    // Each file's runs go in turn, so load from elsewhere falls on all of them alike.
    std::vector<double> engineProbe, directProbe, pbDirect, pbStartUp, floorProbe;
    currentProfile = findProfile(kGeneralAudioCategory, "MP3 - MPEG Layer-3 Audio");
    clearJobs();
    const std::string pbDat = g_probeProcess.programPath;
    auto timed = [](std::vector<double>& into, auto&& run) {
        const double start = now();
        run();
        into.push_back(now() - start);
    };
    for (int i = 0; i < probedFiles; ++i) {
        const std::string path = folder + "/probe" + std::to_string(i) + ".wav";
        std::filesystem::copy_file(shortTone, path);
        const std::function<void()> runs[] = {
            [&] { timed(engineProbe, [&] { failures += probeAndAddJob(path.c_str()) != kProbeAdded; }); },
            [&] { timed(directProbe, [&] { runQuietly({ffprobe, "-show_format", "-show_streams", path}); }); },
            [&] { timed(pbDirect, [&] { runQuietly({pbDat, "-show_format", "-show_streams", path}); }); },
            [&] { timed(pbStartUp, [&] { runQuietly({pbDat, "-show_format", "-show_streams", folder}); }); },
            [&] {
                std::snprintf(g_probeProcess.programPath, sizeof g_probeProcess.programPath, "/bin/true");
                timed(floorProbe, [&] { failures += probeAndAddJob(path.c_str()) != kProbeNoDuration; });
                std::snprintf(g_probeProcess.programPath, sizeof g_probeProcess.programPath, "%s",
                              pbDat.c_str());
            },
        };
        // Each file starts its runs at another one, so no kind always follows the same.
        for (int k = 0; k < 5; ++k)
            runs[(i + k) % 5]();
    }
    std::printf("Probing %d files: probeAndAddJob %.3f s, ffprobe directly %.3f s, ratio %.3f "
                "(target <= 0.6); per file median %.1f ms against %.1f ms\n",
                probedFiles, sum(engineProbe), sum(directProbe), sum(engineProbe) / sum(directProbe),
                median(engineProbe) * 1000, median(directProbe) * 1000);
    std::printf("  per probe, medians: pb.dat run directly %.1f ms, of which start-up (a folder "
                "refused) %.1f ms; /bin/true through probeAndAddJob (the floor) %.1f ms\n",
                median(pbDirect) * 1000, median(pbStartUp) * 1000, median(floorProbe) * 1000);
    clearJobs();

    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    if (failures)
        std::printf("%d runs failed\n", failures);
    return failures ? 1 : 0;
}
