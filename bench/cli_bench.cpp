// nemarro-cli against ffmpeg run directly, over 8 three-minute music-like files (chords
// over pink noise with a beat, as Ogg Vorbis) converted to MP3 at 128 kbit/s, 44100 Hz,
// stereo: ffmpeg one file at a time, nemarro-cli -j 1, nemarro-cli -j 2, ffmpeg two at a
// time, and nemarro-cli -j 1 --verify (each output decoded in full). The five go in the
// order A B C D E, then E D C B A, so that load from elsewhere on the machine weighs on
// each alike; each figure is the sum of its two turns.
// `cli_bench short` weighs the cost per file instead: 600 files of 2 s, nemarro-cli -j 2
// (with --json and --shard 1/1, the steps a script's run adds) against GNU parallel
// running ffmpeg two at a time, in the order A B B A.
// Usage: cli_bench [files (8)] [seconds per file (180)] | cli_bench short
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

// CPU seconds (user and system) of every program run and waited for so far, with the
// programs they ran and waited for in turn (cv.dat's ffmpeg, nemarro-cli's tools).
double g_cpuSeconds = 0.0;

// Runs a program to its end in a session of its own, its output thrown away; true when it
// exited with 0. nemarro-cli starts each encoder in a session of its own, and with the
// kernel's autogroup scheduling a session is a group that gets its fair share of the CPU
// against the rest of the machine; ffmpeg run directly gets the same footing.
bool run(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t pid = 0;
    const int error = posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage = {};
    const bool ended = error == 0 && wait4(pid, &status, 0, &usage) == pid;
    if (ended) {
        static std::mutex lock;
        const std::lock_guard<std::mutex> hold(lock);
        g_cpuSeconds += double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                        double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }
    return ended && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double secondsOf(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Runs `convert` over every input on `width` threads, each taking the next input.
void eachInput(const std::vector<std::string>& inputs, int width,
               const std::function<void(const std::string&)>& convert) {
    std::atomic<std::size_t> next{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < width; ++t)
        threads.emplace_back([&] {
            for (std::size_t i; (i = next.fetch_add(1)) < inputs.size();)
                convert(inputs[i]);
        });
    for (std::thread& thread : threads)
        thread.join();
}

} // namespace

// The cost per file is weighed on this many files of this many seconds: short enough that
// starting the programs around ffmpeg is a large part of each file's time.
constexpr int kShortFiles = 600;
constexpr int kShortSeconds = 2;

// nemarro-cli -j 2 against GNU parallel running the same ffmpeg line two at a time.
int costPerFile(const std::string& cli, const std::vector<std::string>& inputs, const fs::path& out,
                const fs::path& work) {
    std::vector<std::string> nemarro = {cli,     "--json", "--shard", "1/1",  "-q",
                                        "-j",    "2",      "-b",      "128K", "-r",
                                        "44100", "-c",     "Stereo",  "-o",   out.string()};
    nemarro.insert(nemarro.end(), inputs.begin(), inputs.end());
    std::vector<std::string> parallel = {
        "parallel", "--will-cite",  "-j",   "2",    "ffmpeg",
        "-nostdin", "-hide_banner", "-i",   "{}",   "-vn",
        "-c:a",     "libmp3lame",   "-b:a", "128K", "-ar",
        "44100",    "-ac",          "2",    "-y",   (out / "{/.}.mp3").string(),
        ":::"};
    parallel.insert(parallel.end(), inputs.begin(), inputs.end());
    const char* names[] = {"nemarro-cli -j 2", "GNU parallel -j 2, ffmpeg"};
    const std::vector<std::string>* ways[] = {&nemarro, &parallel};
    double totals[2] = {0, 0};
    for (int turn = 0; turn < 4; ++turn) {
        const int way = turn == 0 || turn == 3 ? 0 : 1;
        fs::remove_all(out);
        fs::create_directories(out);
        bool converted = true;
        const double seconds = secondsOf([&] { converted = run(*ways[way]); });
        const auto written = std::distance(fs::directory_iterator(out), fs::directory_iterator());
        totals[way] += seconds;
        std::printf("  %-26s %7.2f s, %ld files written%s\n", names[way], seconds, long(written),
                    converted ? "" : " (it failed)");
        std::fflush(stdout);
    }
    const double perFile[2] = {totals[0] / 2 / double(inputs.size()) * 1000.0,
                               totals[1] / 2 / double(inputs.size()) * 1000.0};
    std::printf("\nnemarro-cli -j 2 / GNU parallel -j 2 over %zu files of %d s: %.3f "
                "(target <= 1.05; %.1f ms a file against %.1f)\n",
                inputs.size(), kShortSeconds, totals[0] / totals[1], perFile[0], perFile[1]);
    fs::remove_all(work);
    return 0;
}

int main(int argc, char** argv) {
    const bool perFile = argc > 1 && std::string(argv[1]) == "short";
    const int count = perFile ? kShortFiles : argc > 1 ? std::atoi(argv[1]) : 8;
    const int length = perFile ? kShortSeconds : argc > 2 ? std::atoi(argv[2]) : 180;
    const std::string cli =
        (fs::canonical("/proc/self/exe").parent_path() / "nemarro-cli").string();
    char pattern[] = "/tmp/cli_bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr || !fs::exists(cli)) {
        std::fprintf(stderr, "cli_bench: needs a temporary folder and %s\n", cli.c_str());
        return 1;
    }
    const fs::path work(pattern);
    fs::create_directories(work / "in");

    // Music-like: a chord that changes with the file, pink noise under it, a beat on it.
    std::vector<std::string> inputs(static_cast<std::size_t>(count));
    std::atomic<int> madeBad{0};
    for (int i = 0; i < count; ++i) {
        inputs[std::size_t(i)] =
            (work / "in" / ("track" + std::to_string(i + 1) + ".ogg")).string();
    }
    const double making = secondsOf([&] {
        eachInput(inputs, 2, [&](const std::string& input) {
            const int i = int(&input - inputs.data());
            const std::string d = std::to_string(length);
            const std::string graph =
                "sine=f=" + std::to_string(196 + 11 * i) + ":d=" + d +
                "[a];sine=f=" + std::to_string(247 + 13 * i) + ":d=" + d +
                "[b];sine=f=" + std::to_string(294 + 7 * i) + ":d=" + d +
                "[c];anoisesrc=c=pink:a=0.12:d=" + d + ":seed=" + std::to_string(i + 1) +
                "[n];[a][b][c][n]amix=inputs=4,tremolo=f=" + std::to_string(1.5 + 0.25 * i) +
                ":d=0.6,aformat=sample_rates=44100:channel_layouts=stereo";
            if (!run({"ffmpeg", "-nostdin", "-v", "error", "-filter_complex", graph, "-c:a",
                      "libvorbis", "-q:a", "4", "-y", input}))
                ++madeBad;
        });
    });
    if (madeBad > 0) {
        std::fprintf(stderr, "cli_bench: ffmpeg could not make the inputs\n");
        return 1;
    }
    std::printf("%d files of %d s made in %.1f s (Ogg Vorbis, 44100 Hz stereo)\n", count, length,
                making);
    std::fflush(stdout);

    const fs::path out = work / "out";
    auto ffmpeg = [&](int width) {
        eachInput(inputs, width, [&](const std::string& input) {
            const std::string output = (out / (fs::path(input).stem().string() + ".mp3")).string();
            run({"ffmpeg", "-nostdin", "-hide_banner", "-i", input, "-vn", "-c:a", "libmp3lame",
                 "-b:a", "128K", "-ar", "44100", "-ac", "2", "-y", output});
        });
    };
    auto nemarro = [&](int jobs, bool verify) {
        std::vector<std::string> arguments = {cli,  "-q",     "-j", std::to_string(jobs),
                                              "-b", "128K",   "-r", "44100",
                                              "-c", "Stereo", "-o", out.string()};
        if (verify)
            arguments.push_back("--verify");
        arguments.insert(arguments.end(), inputs.begin(), inputs.end());
        if (!run(arguments))
            std::printf("  nemarro-cli -j %d failed\n", jobs);
    };
    if (perFile) {
        return costPerFile(cli, inputs, out, work);
    }
    constexpr int kWays = 5;
    const char* names[kWays] = {"ffmpeg, one at a time", "nemarro-cli -j 1", "nemarro-cli -j 2",
                                "ffmpeg, 2 at a time", "nemarro-cli -j 1 --verify"};
    const std::function<void()> ways[kWays] = {[&] { ffmpeg(1); }, [&] { nemarro(1, false); },
                                               [&] { nemarro(2, false); }, [&] { ffmpeg(2); },
                                               [&] { nemarro(1, true); }};
    // Wall-clock time is what the targets are about; CPU time, which load from elsewhere
    // hardly changes, shows what the programs around ffmpeg cost.
    double totals[kWays] = {};
    double cpu[kWays] = {};
    for (int turn = 0; turn < 2 * kWays; ++turn) {
        const int way = turn < kWays ? turn : 2 * kWays - 1 - turn;
        fs::remove_all(out);
        fs::create_directories(out);
        const double cpuBefore = g_cpuSeconds;
        const double seconds = secondsOf(ways[way]);
        totals[way] += seconds;
        cpu[way] += g_cpuSeconds - cpuBefore;
        std::printf("  %-24s %6.2f s  (CPU %6.2f s)\n", names[way], seconds,
                    g_cpuSeconds - cpuBefore);
        std::fflush(stdout);
    }
    std::printf("\n%-24s %7s %-34s %7s\n", "sum of two turns", "wall s", "ratio", "CPU s");
    for (int way = 0; way < kWays; ++way)
        std::printf("%-24s %7.2f %.3f of ffmpeg one at a time  %7.2f (%.3f)\n", names[way],
                    totals[way], totals[way] / totals[0], cpu[way], cpu[way] / cpu[0]);
    std::printf("\nnemarro-cli -j 1 / ffmpeg one at a time: %.3f (target <= 1.03)\n",
                totals[1] / totals[0]);
    std::printf("nemarro-cli -j 2 / ffmpeg 2 at a time:   %.3f (target <= 1.05)\n",
                totals[2] / totals[3]);
    std::printf("--verify / unverified, -j 1:             %.3f (target <= 1.10; CPU %.3f)\n",
                totals[4] / totals[1], cpu[4] / cpu[1]);
    fs::remove_all(work);
    return 0;
}
