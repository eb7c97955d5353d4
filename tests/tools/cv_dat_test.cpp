// cv.dat as a running program, with a scripted stand-in for ffmpeg found first on PATH:
// output passed on, exit status, stop requests and signals, and cleaning up after failure.
#include "child_program.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>

namespace {

class CvDatWithScriptedFfmpeg : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(m_folder.path().empty());
        mkdir(m_folder.file("bin").c_str(), 0755);
        m_output = m_folder.file("out put.mp3");
    }

    // Installs an ffmpeg whose arguments are noted in "args" and whose behaviour is `body`
    // (a shell script in which $out is the output file).
    void scriptFfmpeg(const std::string& body) {
        m_folder.write("bin/ffmpeg",
                       "#!/bin/sh\n"
                       "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$(dirname \"$0\")/../args\"\n"
                       "eval out=\\${$#}\n" +
                           body + "\n",
                       true);
    }

    std::vector<std::string> line() const {
        return {CV_DAT_PATH, "-i", m_folder.file("in.wav"), "-vn", "-y", "-acodec",
                "libmp3lame", "-ab", "128K", "-ar", "48000", "-ac", "2", m_output};
    }

    std::vector<std::string> environment() const {
        return {"PATH=" + m_folder.file("bin") + ":/usr/bin:/bin"};
    }

    int run(std::string& output) { return runProgram(line(), output, environment()); }

    ScratchFolder m_folder;
    std::string m_output;
};

TEST_F(CvDatWithScriptedFfmpeg, PassesEveryByteOnWithClocksInSecondsAndEndsOnTheFinalPosition) {
    scriptFfmpeg("printf 'Press [q] to stop\\n'\n"
                 "printf 'size=  0kB time=00:00:00.00 bitrate=N/A\\r'; sleep 0.05\n"
                 "printf 'size= 5kB ti'; sleep 0.05; printf 'me=00:01:0'; sleep 0.05\n"
                 "printf '2.50 bitrate=1\\r' >&2\n"
                 "printf 'size= 9kB time=00:01:03.00 bitrate=1\\nvideo:0kB audio:9kB\\n' >&2\n"
                 ": > \"$out\"");
    std::string output;
    EXPECT_EQ(run(output), 0);
    EXPECT_EQ(output, "Press [q] to stop\n"
                      "size=  0kB time=0.00 bitrate=N/A\r"
                      "size= 5kB time=62.50 bitrate=1\r"
                      "size= 9kB time=63.00 bitrate=1\nvideo:0kB audio:9kB\n"
                      "cv.dat: finished at time=63.00\n");
    EXPECT_TRUE(fileExists(m_output));
}

TEST_F(CvDatWithScriptedFfmpeg, StartsTheFinalLineOnAFreshLineAndOnlyWhenThereWasAPosition) {
    scriptFfmpeg("printf 'size= 9kB time=00:00:01.00 x'");
    std::string output;
    EXPECT_EQ(run(output), 0);
    EXPECT_EQ(output, "size= 9kB time=1.00 x\ncv.dat: finished at time=1.00\n");

    scriptFfmpeg("printf 'no progress here\\n'");
    EXPECT_EQ(run(output), 0);
    EXPECT_EQ(output, "no progress here\n");
}

TEST_F(CvDatWithScriptedFfmpeg, GivesFfmpegTheTranslatedArgumentsAndNeverTakesItsInputAway) {
    scriptFfmpeg("exit 0");
    std::string output;
    ASSERT_EQ(run(output), 0);
    const std::string args = readFile(m_folder.file("args"));
    EXPECT_EQ(args, "-hide_banner\n-i\n" + m_folder.file("in.wav") +
                        "\n-map\n0:a:0\n-map\n0:v?\n-map\n-0:V?\n-c:v\ncopy\n-y\n-c:a\nlibmp3lame\n-b:a\n128K\n-ar\n48000\n-ac\n2\n" +
                        m_output + "\n");
}

TEST_F(CvDatWithScriptedFfmpeg, AStopRequestWrittenToItsInputReachesFfmpeg) {
    scriptFfmpeg("echo ready; read request; echo \"ffmpeg read: $request\"");
    ChildProgram cv;
    ASSERT_TRUE(cv.start(line(), environment()));
    ASSERT_TRUE(cv.waitForOutput("ready", 10));
    cv.writeInput("q\n");
    EXPECT_EQ(cv.finish(), 0);
    EXPECT_NE(cv.output().find("ffmpeg read: q\n"), std::string::npos) << cv.output();
}

TEST_F(CvDatWithScriptedFfmpeg, PassesFfmpegsExitStatusOnAndRemovesTheFileTheFailedRunCreated) {
    scriptFfmpeg("printf 'x' > \"$out\"; echo 'Conversion failed!' >&2; exit 3");
    std::string output;
    EXPECT_EQ(run(output), 3);
    EXPECT_FALSE(fileExists(m_output));
    EXPECT_NE(output.find("Conversion failed!\n"), std::string::npos);
    EXPECT_EQ(output.find("finished at"), std::string::npos);
}

TEST_F(CvDatWithScriptedFfmpeg, NeverRemovesAFileThatExistedBeforeTheRun) {
    m_folder.write("out put.mp3", "the user's own file");
    scriptFfmpeg("exit 1");
    std::string output;
    EXPECT_EQ(run(output), 1);
    EXPECT_EQ(readFile(m_output), "the user's own file");
}

TEST_F(CvDatWithScriptedFfmpeg, ReportsAnFfmpegKilledByASignalAsFailed) {
    scriptFfmpeg("printf 'size= 1kB time=00:00:01.00 x\\r'; : > \"$out\"; kill -KILL $$");
    std::string output;
    EXPECT_EQ(run(output), 128 + SIGKILL);
    EXPECT_FALSE(fileExists(m_output));
    EXPECT_NE(output.find("signal 9"), std::string::npos) << output;
    EXPECT_EQ(output.find("finished at"), std::string::npos);
}

TEST_F(CvDatWithScriptedFfmpeg, PassesATerminationSignalOnAndWaitsForFfmpegToEnd) {
    scriptFfmpeg("trap 'echo ffmpeg stopping; exit 255' TERM\n"
                 "echo ready\nwhile :; do sleep 0.05; done");
    ChildProgram cv;
    ASSERT_TRUE(cv.start(line(), environment()));
    ASSERT_TRUE(cv.waitForOutput("ready", 10));
    cv.sendSignal(SIGTERM);
    EXPECT_EQ(cv.finish(), 255); // ffmpeg's own status, not cv.dat killed by the signal
    EXPECT_NE(cv.output().find("ffmpeg stopping"), std::string::npos);
}

// When cv.dat's input ends it asks ffmpeg to finish with "q", then waits as long as
// ffmpeg shows signs of life; only one silent for 15 s is ended, SIGTERM first, SIGKILL
// 3 s later.
struct Finish {
    const char* label;
    const char* afterQuit; // what the stand-in does once it is ready; $out is its file
    int exitCode;
    double seconds; // at least, and at most this plus 4
    const char* file; // what is left at the output path; "" for nothing
};

void PrintTo(const Finish& row, std::ostream* out) { *out << row.label; }

class CvDatStopping : public CvDatWithScriptedFfmpeg,
                      public testing::WithParamInterface<Finish> {};

TEST_P(CvDatStopping, WaitsForAFinishingFfmpegAndEndsOnlyASilentOne) {
    scriptFfmpeg(std::string("printf part > \"$out\"; echo ready\n") + GetParam().afterQuit);
    ChildProgram cv;
    ASSERT_TRUE(cv.start(line(), environment()));
    ASSERT_TRUE(cv.waitForOutput("ready", 10));
    const double closed = secondsNow();
    cv.abandon(true, false);
    EXPECT_EQ(cv.finish(), GetParam().exitCode) << cv.output();
    EXPECT_GE(secondsNow() - closed, GetParam().seconds);
    EXPECT_LT(secondsNow() - closed, GetParam().seconds + 4);
    EXPECT_EQ(fileExists(m_output) ? readFile(m_output) : "", GetParam().file);
}

INSTANTIATE_TEST_SUITE_P(
    Finishes, CvDatStopping,
    testing::Values(Finish{"SlowToCloseItsFile",
                           "read request; sleep 3.5; printf whole > \"$out\"; exit 0", 0, 3.5,
                           "whole"},
                    Finish{"DeafAndDumb", "trap '' TERM; while :; do sleep 0.2; done",
                           128 + SIGKILL, 18, ""}),
    [](const testing::TestParamInfo<Finish>& row) { return row.param.label; });

TEST_F(CvDatWithScriptedFfmpeg, WithoutFfmpegSaysSoInOneLineAndWritesNothing) {
    std::string output;
    EXPECT_EQ(runProgram(line(), output, {"PATH=" + m_folder.file("bin")}), 1);
    EXPECT_EQ(output, "cv.dat: ffmpeg was not found on PATH; install ffmpeg to convert files\n");
    EXPECT_FALSE(fileExists(m_output));
}

TEST_F(CvDatWithScriptedFfmpeg, RefusesARealAudioLinkFileWithoutRunningFfmpeg) {
    scriptFfmpeg(": > \"$out\"");
    std::string output;
    const std::vector<std::string> ram = {CV_DAT_PATH, "-i", m_folder.file("in.wav"), "-vn", "-y",
                                          "-acodec", "cook", "-ab", "96K", "-ar", "44100",
                                          "-ac", "2", m_folder.file("out.ram")};
    EXPECT_EQ(runProgram(ram, output, environment()), 1);
    EXPECT_EQ(output, "cv.dat: RealAudio metafiles (.ram) cannot be written: this ffmpeg has no "
                      "muxer for them\n");
    EXPECT_FALSE(fileExists(m_folder.file("args")));
    EXPECT_FALSE(fileExists(m_folder.file("out.ram")));
}

} // namespace
