// The run of a job list against the fake encoder: the walk from job to job, the verdict
// of each job as its status and note, unstartable jobs and unwritable folders, and a
// destination chosen while a job converts.
#include "conversion_run.h"

#include "fake_support.h"
#include "path_separator.h"
#include "test_profiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <clocale>
#include <cmath>
#include <map>
#include <thread>
#include <vector>

namespace {

// What a front end would show: every status text of each row, in order.
class RecordingView : public JobRunView {
public:
    void showJobStatus(const ConversionJob& job, const char* text) override {
        statuses[job.row].push_back(text);
    }
    void showJobNote(const ConversionJob&) override {}
    std::string last(int row) { return statuses[row].empty() ? "Ready" : statuses[row].back(); }
    std::map<int, std::vector<std::string>> statuses;
};

class ConversionRunTest : public testing::Test {
protected:
    ConversionRunTest() {
        initConversionRun(&m_run, &m_view);
        std::snprintf(m_run.encoder.programPath, sizeof m_run.encoder.programPath, "%s",
                      fakeToolPath().c_str());
    }
    ~ConversionRunTest() override {
        releaseConversionRun(&m_run);
        for (ConversionJob* job : m_jobs)
            releaseJob(job);
        setFakeScript("");
    }

    // A job converting into `folder`, after the jobs added before it.
    ConversionJob* addJob(const std::string& folder) {
        const std::string source = m_sources.file("song" + std::to_string(m_jobs.size()) + ".wav");
        ConversionJob* job = createJob(source.c_str(), 100.0, &m_profile);
        setJobDestination(job, folder.c_str());
        job->row = static_cast<int32_t>(m_jobs.size());
        if (!m_jobs.empty())
            m_jobs.back()->next = job;
        m_jobs.push_back(job);
        return job;
    }
    // What every encoder run does from now on (the fake's script).
    void encoderScript(const std::string& script) {
        setFakeScript(m_sources.write("encoder.txt", script));
    }
    void waitForTheEnd() {
        while (pollRun(&m_run) == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    JobVerdict convertToEnd() {
        waitForTheEnd();
        return finishJob(&m_run);
    }
    // The walk a front end makes: each job after the one before has ended.
    RunStart convertAll() {
        char folder[kPathSize];
        RunStart start = startNextJob(&m_run, m_jobs.empty() ? nullptr : m_jobs.front(), folder);
        while (start == RunStart::Started) {
            const JobVerdict verdict = convertToEnd();
            start = startNextJob(&m_run, verdict.job->next, folder);
        }
        m_refusedFolder = folder;
        return start;
    }

    ConversionProfile m_profile = mp3Profile();
    ScratchFolder m_sources;
    ScratchFolder m_out;
    ConversionRun m_run;
    RecordingView m_view;
    std::vector<ConversionJob*> m_jobs;
    std::string m_refusedFolder;
};

struct VerdictCase {
    const char* name;
    const char* script; // what the encoder does; "output" writes its output file
    const char* percentText;
    const char* status;
    const char* note;
};

class Verdict : public ConversionRunTest, public testing::WithParamInterface<VerdictCase> {};

TEST_P(Verdict, AndNoteFollowTheReachedShareTheExitTheOutputFileAndTheLinesThatExplain) {
    const VerdictCase& c = GetParam();
    addJob(m_out.path());
    encoderScript(c.script);
    char folder[kPathSize];
    ASSERT_EQ(startJob(&m_run, m_jobs[0], folder), RunStart::Started);
    waitForTheEnd();
    showRunProgress(&m_run);
    EXPECT_EQ(m_view.last(0), c.percentText) << c.name;
    // The note's numbers have a decimal point whatever the locale says.
    const bool commaLocale = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    EXPECT_EQ(finishJob(&m_run).job, m_jobs[0]);
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(m_view.last(0), c.status) << c.name;
    EXPECT_STREQ(m_jobs[0]->note, c.note) << c.name << (commaLocale ? " under de_DE" : "");
    EXPECT_EQ(m_run.job, nullptr);
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

TEST(JudgeEncoderRun, ARangeThatGivesNoPercentageCountsAsReached) {
    ToolProcess clean;
    clean.exitStatus = 0;
    EXPECT_EQ(judgeEncoderRun(nullptr, clean, std::nan(""), 1).outcome, JobOutcome::Converted);
    EXPECT_EQ(judgeEncoderRun(nullptr, clean, std::nan(""), 0).outcome, JobOutcome::OutputMissing);
}

TEST_F(ConversionRunTest, EveryStartFailingMarksEveryJobFatalAndLeavesNoRun) {
    for (int i = 0; i < 3; ++i)
        addJob(m_out.path());
    const std::string missing = m_sources.file("no-such-encoder");
    std::snprintf(m_run.encoder.programPath, sizeof m_run.encoder.programPath, "%s",
                  missing.c_str());
    EXPECT_EQ(convertAll(), RunStart::NoJobLeft);
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(m_view.statuses[row], std::vector<std::string>{"FATAL!"});
        EXPECT_EQ(m_jobs[row]->note, "the encoder " + missing + " is missing");
    }
    EXPECT_EQ(m_run.job, nullptr);
    EXPECT_EQ(m_run.encoder.process, kNoProcess);
    char folder[kPathSize];
    EXPECT_EQ(startNextJob(&m_run, nullptr, folder), RunStart::NoJobLeft);
}

TEST_F(ConversionRunTest, TheWalkEndsAtTheFirstUnwritableFolderAndNamesIt) {
    addJob(m_out.path());
    addJob(m_out.file("gone")); // no such folder: as unwritable as read-only media
    addJob(m_out.path());
    encoderScript("output x\nout time=50.00 x\\rtime=100.00 x\\r\n");
    EXPECT_EQ(convertAll(), RunStart::FolderNotWritable);
    EXPECT_EQ(m_refusedFolder, m_out.file("gone") + kPathSeparator);
    EXPECT_EQ(m_view.statuses[0], std::vector<std::string>{"Success!"});
    EXPECT_EQ(m_view.statuses.size(), 1u); // the rows after it keep their texts
    EXPECT_EQ(m_run.encoder.process, kNoProcess);
}

TEST_F(ConversionRunTest, ADestinationChosenDuringARunAppliesToTheJobsThatStartLater) {
    ScratchFolder chosen;
    addJob(m_out.path());
    addJob(m_out.path());
    encoderScript("output x\nsleep 200\nout time=100.00 x\\r\n");
    char folder[kPathSize];
    ASSERT_EQ(startJob(&m_run, m_jobs[0], folder), RunStart::Started);
    for (ConversionJob* job : m_jobs) // as choosing a destination sets it for every job
        setJobDestination(job, chosen.path().c_str());

    EXPECT_EQ(convertToEnd().outcome, JobOutcome::Converted);
    EXPECT_EQ(m_view.last(0), "Success!");
    EXPECT_TRUE(m_out.exists("song0.mp3"));
    ASSERT_EQ(startNextJob(&m_run, m_jobs[0]->next, folder), RunStart::Started);
    EXPECT_EQ(convertToEnd().outcome, JobOutcome::Converted);
    EXPECT_TRUE(chosen.exists("song1.mp3"));
    EXPECT_FALSE(m_out.exists("song1.mp3"));
}

} // namespace
