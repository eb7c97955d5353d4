// The queue of jobs against the fake encoder: the verdict of each job as its status and
// note, the one-lane walk of the window (jobs that cannot start or are skipped on the
// way), a folder that refuses new files, names on several lanes, a stop, and a
// destination chosen while a job converts.
#include "conversion_queue.h"

#include "command_line_split.h"

#include "fake_support.h"
#include "path_separator.h"
#include "test_profiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <clocale>
#include <cmath>
#include <map>
#include <set>
#include <thread>
#include <vector>

namespace {

// What a front end would hear: every status text of each row in order, and the events.
class RecordingView : public JobRunView {
public:
    void jobStarted(const ConversionJob& job, const char* outputPath) override {
        events.push_back("start " + std::to_string(job.row));
        outputs.push_back(outputPath);
    }
    void jobProgress(const ConversionJob& job, float, const char* text) override {
        statuses[job.row].push_back(text);
    }
    void jobEnded(const JobVerdict& verdict) override {
        statuses[verdict.job->row].push_back(verdictStatusText(verdict.outcome));
        events.push_back("end " + std::to_string(verdict.job->row) + " " +
                         statuses[verdict.job->row].back());
    }
    void showJobNote(const ConversionJob&) override {}
    void queueProgress(int done, int total) override {
        progress = std::to_string(done) + "/" + std::to_string(total);
    }
    void folderRefused(const ConversionJob& job, const char* folder) override {
        events.push_back("refused " + std::to_string(job.row) + " " + folder);
    }
    bool skipJob(const ConversionJob& job) override { return skipped.count(job.row) != 0; }
    std::string last(int row) { return statuses[row].empty() ? "Ready" : statuses[row].back(); }

    std::map<int, std::vector<std::string>> statuses;
    std::vector<std::string> events;
    std::vector<std::string> outputs;
    std::string progress;
    std::set<int> skipped;
};

class ConversionQueueTest : public testing::Test {
protected:
    ConversionQueueTest() { useQueue(QueueOptions{}); }
    ~ConversionQueueTest() override {
        releaseConversionQueue(&m_queue);
        for (ConversionJob* job : m_jobs)
            releaseJob(job);
        setFakeScript("");
    }
    void useQueue(const QueueOptions& options) {
        releaseConversionQueue(&m_queue);
        initConversionQueue(&m_queue, options, &m_view);
        for (int i = 0; i < m_queue.options.lanes; ++i)
            std::snprintf(queueLane(&m_queue, i).encoder.programPath, kPathSize, "%s",
                          fakeToolPath().c_str());
    }
    ConversionRun& lane() { return queueLane(&m_queue, 0); }

    // A job converting into `folder`, after the jobs added before it, handed to the queue.
    ConversionJob* addJob(const std::string& folder, std::string name = "") {
        if (name.empty())
            name = "song" + std::to_string(m_jobs.size()) + ".wav";
        ConversionJob* job = createJob(m_sources.file(name).c_str(), 100.0, &m_profile);
        setJobDestination(job, folder.c_str());
        job->row = static_cast<int32_t>(m_jobs.size());
        m_jobs.push_back(job);
        appendQueuedJob(&m_queue, job);
        return job;
    }
    // What every encoder run does from now on (the fake's script).
    void encoderScript(const std::string& script) {
        setFakeScript(m_sources.write("encoder.txt", script));
    }
    void waitForTheEnd() {
        while (pollRun(&lane()) == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    // The front end's loop: start, finish what ended, start again, until nothing runs;
    // the most lanes seen running at once.
    int convertAll() {
        closeQueue(&m_queue);
        int most = 0;
        m_start = startQueuedJobs(&m_queue);
        while (!queueFinished(&m_queue) && m_start != RunStart::FolderNotWritable) {
            most = std::max(most, runningJobs(&m_queue));
            waitForQueue(&m_queue, 50);
            finishEndedJobs(&m_queue);
            m_start = startQueuedJobs(&m_queue);
        }
        return most;
    }

    ConversionProfile m_profile = mp3Profile();
    ScratchFolder m_sources;
    ScratchFolder m_out;
    ConversionQueue m_queue;
    RecordingView m_view;
    std::vector<ConversionJob*> m_jobs;
    RunStart m_start = RunStart::NoJobLeft;
};

struct VerdictCase {
    const char* name;
    const char* script; // what the encoder does; "output" writes its output file
    const char* percentText;
    const char* status;
    const char* note;
};

class Verdict : public ConversionQueueTest, public testing::WithParamInterface<VerdictCase> {};

TEST_P(Verdict, AndNoteFollowTheReachedShareTheExitTheOutputFileAndTheLinesThatExplain) {
    const VerdictCase& c = GetParam();
    addJob(m_out.path());
    encoderScript(c.script);
    char folder[kPathSize];
    ASSERT_EQ(startJob(&lane(), m_jobs[0], folder), RunStart::Started);
    waitForTheEnd();
    showRunProgress(&lane());
    EXPECT_EQ(m_view.last(0), c.percentText) << c.name;
    // The note's numbers have a decimal point whatever the locale says.
    const bool commaLocale = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    EXPECT_EQ(finishJob(&lane()).job, m_jobs[0]);
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(m_view.last(0), c.status) << c.name;
    EXPECT_STREQ(m_jobs[0]->note, c.note) << c.name << (commaLocale ? " under de_DE" : "");
    EXPECT_EQ(lane().job, nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, Verdict,
    testing::Values(
        VerdictCase{"just under", "output x\nout time=87.99 x\\r\n", "87.99%", "Failed!",
                    "the encoder stopped at 87.99% of the range"},
        VerdictCase{
            "exactly 88, a value adjusted",
            "output x\nout cv.dat: ac3 cannot write 96000 Hz: wrote 48000 Hz\\nInput #0, wav\\n"
            "  Duration: 00:01:40.00\\nvideo:0kB audio:1kB\\n\n"
            "out time=88.00 x\\ncv.dat: finished at time=88.00\\n\n",
            "88.00%", "Success!", "ac3 cannot write 96000 Hz: wrote 48000 Hz"},
        VerdictCase{"non-zero exit after 95 %", "output x\nout time=95.00 x\\r\nexit 1\n", "95.00%",
                    "Failed!", "the encoder ended with exit status 1"},
        VerdictCase{
            "encoder complaint",
            "out Press [q] to stop\\n[libopus @ 0x55] Specified sample rate 44100 is not "
            "supported\\nError initializing output stream 0:0 -- Error while opening encoder\\n"
            "Conversion failed!\\ncv.dat: removed the incomplete output file o.opus\\n\nexit 1\n",
            "00.00%", "Failed!", "[libopus @ 0x55] Specified sample rate 44100 is not supported"},
        VerdictCase{"last line unterminated", "err in.wav: No such file or directory\nexit 1\n",
                    "00.00%", "Failed!", "in.wav: No such file or directory"},
        VerdictCase{"crash at the end", "output x\nerr boom\\n\nout time=100.00 x\\r\ncrash\n",
                    "100.00%", "Failed!", "boom"},
        VerdictCase{"clean and whole, but no file", "out time=100.00 x\\r\n", "100.00%", "Failed!",
                    "the encoder wrote no output file, or an empty one"},
        VerdictCase{"empty file", "output \nout time=100.00 x\\r\n", "100.00%", "Failed!",
                    "the encoder wrote no output file, or an empty one"}),
    [](const testing::TestParamInfo<VerdictCase>& param) {
        return "case" + std::to_string(param.index);
    });

TEST(JudgeEncoderRun, ARangeWithoutPercentageCountsAsReachedAndASignalIsNoExitStatus) {
    ToolProcess clean;
    clean.exitStatus = 0;
    EXPECT_EQ(judgeEncoderRun(nullptr, clean, std::nan(""), 1, false).outcome,
              JobOutcome::Converted);
    EXPECT_EQ(judgeEncoderRun(nullptr, clean, std::nan(""), 0, false).outcome,
              JobOutcome::OutputMissing);
    EXPECT_EQ(judgeEncoderRun(nullptr, clean, 50.0, 1, true).outcome, JobOutcome::Stopped);
    EXPECT_EQ(judgeEncoderRun(nullptr, clean, 50.0, 1, false).outcome, JobOutcome::StoppedEarly);
    ToolProcess killed;
    killed.endedBySignal = true;
    killed.exitStatus = 9;
    const JobVerdict verdict = judgeEncoderRun(nullptr, killed, 100.0, 1, false);
    EXPECT_EQ(verdict.outcome, JobOutcome::EncoderSignalled);
    EXPECT_EQ(verdict.status, 9);
}

// The window's walk: one job after another on one lane, from the first; a job that cannot
// start shows "FATAL!" and the next one starts, a skipped one is counted as done.
TEST_F(ConversionQueueTest, OneLaneWalksTheJobsInOrderPastThoseThatCannotStart) {
    addJob(m_out.path());
    // An output path too long for its buffer (its extension is longer than the source's),
    // or on Windows a double quote: no command line carries either.
    const std::size_t base = kPathSize - m_out.path().size() - 5;
    ASSERT_LE(m_sources.path().size() + base + 3, kPathSize - 1);
    addJob(m_out.path(), commandLineCanCarry("\"") ? std::string(base, 'n') + ".w" : "say \"hi\".wav");
    addJob(m_out.path());
    addJob(m_out.path());
    m_view.skipped = {2};
    encoderScript("output x\nout time=100.00 x\\r\n");
    EXPECT_EQ(convertAll(), 1);
    EXPECT_EQ(m_start, RunStart::NoJobLeft);
    EXPECT_EQ(m_view.events, (std::vector<std::string>{"start 0", "end 0 Success!", "end 1 FATAL!",
                                                       "start 3", "end 3 Success!"}));
    EXPECT_EQ(m_view.progress, "4/4");
    EXPECT_EQ(m_view.last(2), "Ready");
    EXPECT_TRUE(m_out.exists("song0.mp3") && m_out.exists("song3.mp3"));
}

TEST_F(ConversionQueueTest, EveryStartFailingMarksEveryJobFatalAndLeavesNoRun) {
    for (int i = 0; i < 3; ++i)
        addJob(m_out.path());
    const std::string missing = m_sources.file("no-such-encoder");
    std::snprintf(lane().encoder.programPath, kPathSize, "%s", missing.c_str());
    convertAll();
    EXPECT_EQ(m_start, RunStart::NoJobLeft);
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(m_view.statuses[row], std::vector<std::string>{"FATAL!"});
        EXPECT_EQ(m_jobs[row]->note, "the encoder " + missing + " is missing");
    }
    EXPECT_EQ(lane().job, nullptr);
    EXPECT_EQ(lane().encoder.process, kNoProcess);
    EXPECT_EQ(startQueuedJobs(&m_queue), RunStart::NoJobLeft);
}

// A folder that refuses new files is an event: the window's queue ends its run there, the
// rows after it keep their texts; the converter's fails that job and goes on.
TEST_F(ConversionQueueTest, ARefusedFolderIsAnEventThatEndsTheRunOrFailsItsJob) {
    for (const bool goOn : {false, true}) {
        QueueOptions options;
        options.goOnAtRefusedFolder = goOn;
        useQueue(options);
        m_view = RecordingView{};
        addJob(m_out.path());
        addJob(m_out.file("gone")); // no such folder: as unwritable as read-only media
        addJob(m_out.path());
        encoderScript("output x\nout time=50.00 x\\rtime=100.00 x\\r\n");
        convertAll();
        const std::string refused = "refused 1 " + m_out.file("gone") + kPathSeparator;
        if (!goOn) {
            EXPECT_EQ(m_start, RunStart::FolderNotWritable);
            EXPECT_EQ(m_view.events,
                      (std::vector<std::string>{"start 0", "end 0 Success!", refused}));
            EXPECT_EQ(lane().encoder.process, kNoProcess);
        } else {
            EXPECT_EQ(m_view.events.back(),
                      "end " + std::to_string(m_jobs.size() - 1) + " Success!");
            EXPECT_EQ(m_view.last(int(m_jobs.size()) - 2), "Failed!");
            EXPECT_EQ(m_jobs[m_jobs.size() - 2]->note, "the output folder refuses new files: " +
                                                           m_out.file("gone") + kPathSeparator);
        }
    }
}

// Three files of one name converted on two lanes into one folder: each encoder gets a name
// of its own, although the first one's file does not exist yet when the second starts.
TEST_F(ConversionQueueTest, TwoLanesNeverShareAName) {
    QueueOptions options;
    options.lanes = 2;
    useQueue(options);
    for (const char* folder : {"a/song.wav", "b/song.wav", "c/song.wav"})
        addJob(m_out.path(), folder);
    encoderScript("sleep 150\noutput x\nout time=100.00 x\\r\n");
    EXPECT_EQ(convertAll(), 2);
    EXPECT_EQ(m_view.outputs,
              (std::vector<std::string>{m_out.file("song.mp3"), m_out.file("song(0).mp3"),
                                        m_out.file("song(1).mp3")}));
    EXPECT_EQ(m_view.progress, "3/3");
    EXPECT_TRUE(m_queue.claims.paths.empty());
}

// A stop reaches every running encoder: each finishes its file, judged as stopped (the
// window shows "Failed!"), and no other job starts.
TEST_F(ConversionQueueTest, AStopFinishesEveryRunningFileAndStartsNoOther) {
    QueueOptions options;
    options.lanes = 2;
    useQueue(options);
    for (int i = 0; i < 3; ++i)
        addJob(m_out.path());
    encoderScript("output x\nout time=30.00 x\\r\nwaitquit 5000 0\nout time=100.00 x\\r\n");
    closeQueue(&m_queue);
    ASSERT_EQ(startQueuedJobs(&m_queue), RunStart::Started);
    EXPECT_EQ(stopQueue(&m_queue), 2);
    std::vector<JobOutcome> outcomes;
    const auto started = std::chrono::steady_clock::now();
    while (!queueFinished(&m_queue)) {
        waitForQueue(&m_queue, 50);
        finishEndedJobs(&m_queue);
        EXPECT_EQ(startQueuedJobs(&m_queue),
                  runningJobs(&m_queue) > 0 ? RunStart::Started : RunStart::NoJobLeft);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(4));
    EXPECT_EQ(m_view.last(0), "Failed!");
    EXPECT_EQ(m_view.last(1), "Failed!");
    EXPECT_EQ(m_jobs[0]->note, std::string("the encoder stopped at 30.00% of the range"));
    EXPECT_EQ(m_view.last(2), "Ready");
    EXPECT_EQ(m_view.progress, "2/3");
}

TEST_F(ConversionQueueTest, ADestinationChosenDuringARunAppliesToTheJobsThatStartLater) {
    ScratchFolder chosen;
    addJob(m_out.path());
    addJob(m_out.path());
    encoderScript("output x\nsleep 200\nout time=100.00 x\\r\n");
    ASSERT_EQ(startQueuedJobs(&m_queue), RunStart::Started);
    for (ConversionJob* job : m_jobs) // as choosing a destination sets it for every job
        setJobDestination(job, chosen.path().c_str());
    convertAll();
    EXPECT_EQ(m_view.events,
              (std::vector<std::string>{"start 0", "end 0 Success!", "start 1", "end 1 Success!"}));
    EXPECT_TRUE(m_out.exists("song0.mp3"));
    EXPECT_TRUE(chosen.exists("song1.mp3"));
    EXPECT_FALSE(m_out.exists("song1.mp3"));
}

} // namespace
