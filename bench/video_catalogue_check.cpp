// Every video profile of the catalogue through the engine, cv.dat and the real ffmpeg:
// each profile's start selection, and each of its other video and audio codec choices,
// converts a 25 fps and a 29.97 fps clip with sound. Prints one line per distinct command
// (its verdict and seconds), then the counts and the wall time. Choices this ffmpeg
// cannot write (RealAudio cook, AMR-NB) are expected to be refused and are counted apart.
// Usage: video_catalogue_check [seconds of each clip, default 2]
#include "catalogue.h"
#include "encoder_command_line.h"
#include "conversion_run.h"
#include "encoder_progress.h"
#include "executable_folder.h"
#include "program_lookup.h"
#include "tool_process.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <unistd.h>

namespace {

// The encoder and its progress, wired by initConversionRun before the first use.
ConversionRun s_run;

double now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

std::string run(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe))
            output += buffer;
        pclose(pipe);
    }
    return output;
}

std::string shellQuoted(const std::string& text) { return "'" + text + "'"; }

// "video audio" when the file holds a video and an audio stream.
std::string streamKinds(const std::string& path) {
    std::string kinds = run("ffprobe -v error -show_entries stream=codec_type -of csv=p=0 " +
                            shellQuoted(path) + " 2>/dev/null");
    const bool video = kinds.find("video") != std::string::npos;
    const bool audio = kinds.find("audio") != std::string::npos;
    return std::string(video ? "video" : "-") + " " + (audio ? "audio" : "-");
}

struct Outcome {
    bool clean = false;
    double percent = 0;
    std::string output;
};

Outcome convert(ConversionJob* job) {
    Outcome outcome;
    resetEncoderProgress(&s_run.progress);
    clearToolRun(&s_run.encoder);
    s_run.progress.job = job;
    if (s_run.encoder.handlers->prepare(&s_run.encoder) != kBuildDone)
        return outcome;
    char path[kPathSize];
    if (lastOutputPath(*job, path) == kBuildDone)
        outcome.output = path;
    if (startTool(&s_run.encoder) == 0)
        return outcome;
    while (pollTool(&s_run.encoder) == 0)
        usleep(20000);
    s_run.encoder.handlers->finish(&s_run.encoder);
    outcome.percent = progressPercent(&s_run.progress);
    outcome.clean = toolExitedCleanly(&s_run.encoder);
    clearToolRun(&s_run.encoder);
    return outcome;
}

} // namespace

int main(int argc, char** argv) {
    initConversionRun(&s_run, nullptr);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2;
    char folder[kToolPathSize];
    if (executableFolder(folder, sizeof folder) != 0 ||
        setToolProgram(&s_run.encoder, folder, "cv.dat") != 0 || findProgramOnPath("ffmpeg").empty()) {
        std::fprintf(stderr, "needs cv.dat beside this program and ffmpeg on PATH\n");
        return 2;
    }
    const std::filesystem::path work =
        std::filesystem::temp_directory_path() / ("video-catalogue-" + std::to_string(getpid()));
    std::filesystem::create_directories(work);
    const std::string out = (work / "out").string();
    std::filesystem::create_directories(out);

    struct Source {
        const char* rate;
        std::string path;
    } sources[] = {{"25", (work / "clip25.mp4").string()},
                   {"30000/1001", (work / "clip2997.mp4").string()}};
    for (Source& source : sources) {
        run("ffmpeg -v error -nostdin -f lavfi -i testsrc=size=320x240:rate=" + std::string(source.rate) +
            ":duration=" + std::to_string(seconds) + " -f lavfi -i sine=sample_rate=44100:duration=" +
            std::to_string(seconds) + " -ac 2 -c:v mpeg4 -c:a aac -shortest -y " + shellQuoted(source.path));
    }

    const double started = now();
    int converted = 0, failed = 0, refused = 0;
    std::set<std::string> seen;
    for (ProfileCategory& category : g_categories) {
        for (int p = 0; p < category.profileCount; ++p) {
            ConversionProfile* profile = category.profiles[p];
            if (!hasVideo(*profile))
                continue;
            const int startVideo = profile->videoCodecIndex;
            const int startAudio = profile->audioCodecIndex;
            // The start selection first, then every other codec with the other one at start.
            std::set<std::pair<int, int>> choices = {{startVideo, startAudio}};
            for (int v = 0; v < profile->videoCodecCount; ++v)
                choices.insert({v, startAudio});
            for (int a = 0; a < profile->audioCodecCount; ++a)
                choices.insert({startVideo, a});
            for (const auto& [v, a] : choices) {
                profile->videoCodecIndex = v;
                profile->audioCodecIndex = a;
                for (const Source& source : sources) {
                    ConversionJob* job = createJob(source.path.c_str(), seconds, profile);
                    setJobDestination(job, out.c_str());
                    char line[kCommandLineSize];
                    buildEncoderCommandLine("cv.dat", job, line);
                    // The same options from the same source are the same conversion.
                    const char* options = std::strstr(line, "-i ");
                    const std::string key = std::string(source.rate) + (options ? options : line);
                    const std::string what = std::string(profile->name) + " | " +
                                             selectedVideoCodec(*profile).displayName + " | " +
                                             selectedAudioCodec(*profile).displayName + " | " + source.rate;
                    if (!seen.insert(key.substr(0, key.rfind(" \""))).second) {
                        releaseJob(job);
                        continue;
                    }
                    const double begun = now();
                    const Outcome outcome = convert(job);
                    const std::string audio = selectedAudioCodec(*profile).codecName;
                    const bool lacking = audio == "cook" || audio == "libopencore_amrnb";
                    const std::string kinds = outcome.clean ? streamKinds(outcome.output) : "";
                    const char* verdict = "FAILED";
                    if (lacking && !outcome.clean) {
                        verdict = "refused";
                        ++refused;
                    } else if (outcome.clean && outcome.percent >= 88.0 && kinds == "video audio") {
                        verdict = "ok";
                        ++converted;
                    } else {
                        ++failed;
                    }
                    std::printf("%-8s %5.2f s  %s%s\n", verdict, now() - begun, what.c_str(),
                                std::strcmp(verdict, "FAILED") == 0 ? ("  [" + kinds + "]").c_str() : "");
                    std::fflush(stdout);
                    if (!outcome.output.empty())
                        std::filesystem::remove(outcome.output);
                    releaseJob(job);
                }
            }
            profile->videoCodecIndex = startVideo;
            profile->audioCodecIndex = startAudio;
        }
    }
    std::printf("\n%d converted, %d failed, %d refused (no encoder in this ffmpeg); %.1f s for %d-second clips\n",
                converted, failed, refused, now() - started, seconds);
    std::filesystem::remove_all(work);
    return failed == 0 ? 0 : 1;
}
