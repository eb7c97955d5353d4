// cv.dat on Windows, with the scripted fake installed beside it as ffmpeg.exe: the
// translated arguments, progress in seconds, a stop request or the end of its input
// reaching the fake, a slow finish waited for, and the fake's exit status kept.
#include "child_process.h"
#include "fake_support.h"
#include "pipe_io.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace {

struct StopCase {
    const char* name;
    const char* scriptEnd; // after the fake noted its arguments and reported progress
    bool closeInput;       // else "q" is written to cv.dat's input
    int exitCode;
    int seconds; // at least (a slow finish is waited for) and at most this plus 5
};

class CvDatOnWindows : public testing::TestWithParam<StopCase> {};

TEST_P(CvDatOnWindows, RunsTheFfmpegBesideItAndPassesProgressStopAndStatus) {
    ScratchFolder folder;
    namespace fs = std::filesystem;
    fs::copy_file(fs::absolute(CV_DAT_PATH), folder.file("cv.dat"));
    fs::copy_file(fakeToolPath(), folder.file("ffmpeg.exe"));
    folder.write("script", "args " + folder.file("args") +
                               "\nerr size= 5kB time=00:01:02.50 bitrate=1\\r\n" +
                               GetParam().scriptEnd + "\n");
    _putenv_s("NEMARRO_FAKE_SCRIPT", folder.file("script").c_str());
    const std::string line = "\"" + folder.file("cv.dat") + "\" -i \"C:\\My Music\\a b.wav\" " +
                             "-vn -y -acodec libmp3lame -ab 128K -ar 48000 -ac 2 out.mp3";
    StartedChild cv{kNoProcess, 0, kNoPipe, kNoPipe};
    ASSERT_EQ(startChild(line.c_str(), &cv), 1);

    std::string output;
    bool stopped = false;
    const auto start = std::chrono::steady_clock::now();
    for (int spins = 0; spins < 60000; ++spins) {
        if (!stopped && output.find("time=62.50 bitrate=1\r") != std::string::npos) {
            stopped = true;
            if (GetParam().closeInput) {
                closePipe(&cv.inputWrite);
            } else {
                int written = 0;
                writePipe(cv.inputWrite, "q\n", 2, &written);
            }
        }
        char buffer[512];
        int waiting = 0, got = 0;
        const PipeResult result = pipeBytesWaiting(cv.outputRead, &waiting);
        if (result == PipeResult::Broken)
            break;
        if (waiting > 0 && readPipe(cv.outputRead, buffer, sizeof buffer, &got) == PipeResult::Ok)
            output.append(buffer, static_cast<std::size_t>(got));
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_EQ(waitChild(cv.process, 30000), 1) << output;
    EXPECT_EQ(childExitStatus(cv.process).code, GetParam().exitCode) << output;
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, std::chrono::seconds(GetParam().seconds));
    EXPECT_LT(took, std::chrono::seconds(GetParam().seconds + 5));
    closePipe(&cv.outputRead);
    closePipe(&cv.inputWrite);
    closeChild(&cv.process);
    EXPECT_TRUE(stopped) << output;
    EXPECT_EQ(folder.read("args"),
              "-hide_banner\n-i\nC:\\My Music\\a b.wav\n-map\n0:a:0\n-map\n0:v?\n"
              "-map\n-0:V?\n-c:v\ncopy\n-y\n-c:a\nlibmp3lame\n-b:a\n128K\n"
              "-ar\n48000\n-ac\n2\nout.mp3\n");
}

INSTANTIATE_TEST_SUITE_P(
    Stops, CvDatOnWindows,
    testing::Values(StopCase{"QuitOnItsInput", "waitquit 20000 7", false, 7, 0},
                    StopCase{"EndOfItsInputSendsQuit", "waitquit 20000 7", true, 7, 0},
                    // A long file being closed is waited for, however quiet the encoder.
                    StopCase{"SlowFinishIsWaitedFor", "waitquit 20000 0 3500", true, 0, 3},
                    // Silent 15 s after "q": its input is closed, and 3 s later it is
                    // terminated.
                    StopCase{"FfmpegDeafToQuitIsTerminated", "sleep 40000", true, 1, 18}),
    [](const testing::TestParamInfo<StopCase>& stop) { return stop.param.name; });

} // namespace
