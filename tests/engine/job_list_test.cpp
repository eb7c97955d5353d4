// Job records and the job list: positions, removal, rows, destination, size and clock
// texts, and the cells a job's row gets.
#include "conversion_job.h"
#include "job_list.h"
#include "job_row_view.h"

#include "catalogue.h"
#include "test_profiles.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>

namespace {
class RecordingView : public JobRowView {
public:
    void setCellText(int row, int column, const char* text) override {
        cells[{row, column}] = text;
    }
    std::map<std::pair<int, int>, std::string> cells;
};

class JobListTest : public testing::Test {
protected:
    ~JobListTest() override { clearJobs(); }

    ConversionJob* add(const char* path, double duration = 240.0) {
        ConversionJob* job = createJob(path, duration, &m_profile);
        appendJob(job);
        return job;
    }

    ConversionProfile m_profile = mp3Profile();
};

TEST_F(JobListTest, CreatedJobHasItsPathPartsRangeAndTexts) {
    ConversionJob* job = add("/In/my song.wma", 3725.5);
    ASSERT_NE(job, nullptr);
    EXPECT_STREQ(job->sourceDrive, "");
    EXPECT_STREQ(job->sourceFolder, "/In/");
    EXPECT_STREQ(job->sourceBaseName, "my song");
    EXPECT_STREQ(job->sourceExtension, ".wma");
    EXPECT_EQ(job->trimStart, 0.0);
    EXPECT_EQ(job->trimEnd, 3725.5);
    EXPECT_STREQ(job->durationText, "01:02:05.50");
    EXPECT_STREQ(job->destinationFolder, "");
    EXPECT_EQ(job->profile, &m_profile);
    EXPECT_EQ(job->next, nullptr);
}

TEST_F(JobListTest, PathsThatDoNotFitAreRefusedNotCut) {
    std::string fits = "/" + std::string(kPathSize - 2, 'a');
    std::string tooLong = "/" + std::string(kPathSize - 1, 'a');
    ConversionJob* job = createJob(fits.c_str(), 1.0, &m_profile);
    ASSERT_NE(job, nullptr);
    releaseJob(job);
    EXPECT_EQ(createJob(tooLong.c_str(), 1.0, &m_profile), nullptr);
    // The extension field holds 31 characters.
    std::string longExtension = "/In/song." + std::string(31, 'x');
    EXPECT_EQ(createJob(longExtension.c_str(), 1.0, &m_profile), nullptr);
}

TEST_F(JobListTest, PositionsCountFromTheHead) {
    EXPECT_EQ(jobAt(0), nullptr);
    ConversionJob* a = add("/a.wav");
    ConversionJob* b = add("/b.wav");
    ConversionJob* c = add("/c.wav");
    EXPECT_EQ(g_jobList.head, a);
    EXPECT_EQ(jobAt(1), b);
    EXPECT_EQ(jobAt(2), c);
    EXPECT_EQ(jobAt(3), nullptr);
    EXPECT_EQ(jobAt(-1), nullptr);
    EXPECT_EQ(jobCount(), 3);
}

TEST_F(JobListTest, RemovalRelinksTheChainAndRenumberingFollowsIt) {
    add("/a.wav");
    ConversionJob* b = add("/b.wav");
    add("/c.wav");
    ConversionJob* d = add("/d.wav");
    EXPECT_EQ(removeJobAt(5), 0);
    EXPECT_EQ(removeJobAt(-1), 0);
    EXPECT_EQ(removeJobAt(3), 1); // the last: b... c becomes the end
    EXPECT_EQ(jobAt(2)->next, nullptr);
    EXPECT_EQ(removeJobAt(0), 1); // the head
    EXPECT_EQ(g_jobList.head, b);
    renumberRows();
    EXPECT_EQ(jobAt(0)->row, 0);
    EXPECT_EQ(jobAt(1)->row, 1);
    EXPECT_EQ(jobCount(), 2);
    (void)d;
    EXPECT_EQ(removeJobAt(0), 1);
    EXPECT_EQ(removeJobAt(0), 1);
    EXPECT_EQ(g_jobList.head, nullptr);
    EXPECT_EQ(removeJobAt(0), 0);
}

TEST_F(JobListTest, DestinationGoesToEveryJobAndTooLongOneChangesNothing) {
    add("/a.wav");
    add("/b.wav");
    ASSERT_EQ(setDestinationForAll("/Out"), 0);
    EXPECT_STREQ(jobAt(0)->destinationFolder, "/Out");
    EXPECT_STREQ(jobAt(1)->destinationFolder, "/Out");
    std::string tooLong(kPathSize, 'd');
    EXPECT_EQ(setDestinationForAll(tooLong.c_str()), -1);
    EXPECT_STREQ(jobAt(1)->destinationFolder, "/Out");
    ASSERT_EQ(setDestinationForAll(""), 0);
    EXPECT_STREQ(jobAt(0)->destinationFolder, "");
}

TEST_F(JobListTest, RowShowsBaseNameDurationAndSizeAndRangeWhenTrimmed) {
    add("/In/song.wma", 100.0);
    ConversionJob* job = add("/In/other.wma", 100.0);
    renumberRows();
    RecordingView view;
    ConversionProfile cheaper = audioProfile("libmp3lame", "64K\0", 0, "Auto\0", 0, "Auto\0", 0,
                                             ".mp3\0");
    refreshJobRow(&view, job, &cheaper);
    EXPECT_EQ(job->profile, &cheaper);
    EXPECT_EQ((view.cells[{1, kColumnFileName}]), "other");
    EXPECT_EQ((view.cells[{1, kColumnDuration}]), "00:01:40.00");
    EXPECT_EQ((view.cells[{1, kColumnOutputSize}]), "0.8MB");
    EXPECT_EQ(view.cells.count({1, kColumnStatus}), 0u);

    job->trimStart = 10.0;
    job->trimEnd = 40.0;
    refreshJobRow(&view, job, &cheaper);
    EXPECT_EQ((view.cells[{1, kColumnFileName}]), "other[00:00:10.00 - 00:00:40.00]");
    EXPECT_EQ((view.cells[{1, kColumnDuration}]), "00:00:30.00");

    // Without a view only the profile and size change; without a job nothing happens.
    refreshJobRow(nullptr, job, &m_profile);
    EXPECT_EQ(job->profile, &m_profile);
    refreshJobRow(&view, nullptr, &m_profile);
}

TEST_F(JobListTest, RefreshAllRowsGivesEveryJobTheCurrentProfile) {
    ConversionProfile* saved = currentProfile;
    ConversionProfile other = audioProfile("flac", "Auto\0", 0, "Auto\0", 0, "Auto\0", 0, ".flac\0");
    currentProfile = &other;
    add("/a.wav");
    add("/b.wav");
    renumberRows();
    RecordingView view;
    refreshAllRows(&view);
    currentProfile = saved;
    EXPECT_EQ(jobAt(0)->profile, &other);
    EXPECT_EQ(jobAt(1)->profile, &other);
    EXPECT_EQ((view.cells[{0, kColumnOutputSize}]), "? MB");
    EXPECT_EQ((view.cells[{1, kColumnFileName}]), "b");
}

struct ClockCase {
    double seconds;
    const char* text;
};

void PrintTo(const ClockCase& c, std::ostream* os) { *os << c.seconds; }

class FormatClock : public testing::TestWithParam<ClockCase> {};

TEST_P(FormatClock, GivesHoursMinutesAndSecondsToTheHundredth) {
    char text[kClockTextSize];
    formatClock(GetParam().seconds, text);
    EXPECT_STREQ(text, GetParam().text);
    wchar_t wide[kClockTextSize];
    formatClock(GetParam().seconds, wide);
    EXPECT_EQ(std::wstring(wide), std::wstring(text, text + std::string(text).size()));
}

INSTANTIATE_TEST_SUITE_P(Seconds, FormatClock,
                         testing::Values(ClockCase{0.0, "00:00:00.00"},
                                         ClockCase{3600.0, "01:00:00.00"},
                                         ClockCase{3725.5, "01:02:05.50"},
                                         ClockCase{59.999, "00:00:60.00"},
                                         ClockCase{360000.0, "100:00:00.00"},
                                         // Far beyond any length: held, not undefined.
                                         ClockCase{1e300, "277777777777:46:40.00"}));

struct SizeCase {
    const char* name;
    ConversionProfile profile;
    double seconds;
    const char* text;
};

void PrintTo(const SizeCase& c, std::ostream* os) { *os << c.name; }

class OutputSize : public testing::TestWithParam<SizeCase> {};

TEST_P(OutputSize, FollowsTheBitRatesAndTheRange) {
    ConversionProfile profile = GetParam().profile;
    ConversionJob* job = createJob("/In/song.wav", GetParam().seconds, &profile);
    ASSERT_NE(job, nullptr);
    EXPECT_STREQ(job->sizeText, GetParam().text) << GetParam().name;
    releaseJob(job);
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, OutputSize,
    testing::Values(
        SizeCase{"128K over 240 s", mp3Profile(), 240.0, "3.7MB"},
        SizeCase{"audio Auto",
                 audioProfile("flac", "Auto\0", 0, "Auto\0", 0, "Auto\0", 0, ".flac\0"), 240.0,
                 "? MB"},
        SizeCase{"no length", mp3Profile(), 0.0, "? MB"},
        // The 3GP profiles' AMR rate: 6.7 kbit/s, not 6, over 10,000 s: 7.99 MiB.
        SizeCase{"6.7k", audioProfile("libopencore_amrnb", "6.7k\0", 0, "8000\0", 0, "Mono\0", 0,
                                      ".3gp\0"),
                 10000.0, "8.0MB"},
        // Quality levels count at their typical rate: LAME's 190 kbit/s for V2, 120 for
        // the AAC encoder's Q1 (over 240 s: 5.44 and 3.43 MiB).
        SizeCase{"V2", audioProfile("libmp3lame", "V0\0 V2\0", 1, "44100\0", 0, "Stereo\0", 0,
                                    ".mp3\0"),
                 240.0, "5.4MB"},
        SizeCase{"Q1", audioProfile("aac", "Q1\0", 0, "44100\0", 0, "Stereo\0", 0, ".m4a\0"),
                 240.0, "3.4MB"},
        SizeCase{"video Auto", videoProfile("mpeg1video", "Auto\0", "Auto\0", "Auto\0", "Auto\0"),
                 240.0, "? MB"},
        // 1000K video + 128K audio over 60 s: 8.07 MiB.
        SizeCase{"video 1000K", videoProfile("mpeg1video", "Auto\0", "1000K\0", "Auto\0", "Auto\0"),
                 60.0, "8.1MB"}));

TEST(OutputSizeCatalogue, MP3AtItsStartSelection) {
    ConversionProfile* mp3 = findProfile(kGeneralAudioCategory, "MP3 - MPEG Layer-3 Audio");
    ASSERT_NE(mp3, nullptr);
    ConversionJob* job = createJob("/In/song.wav", 240.0, mp3);
    ASSERT_NE(job, nullptr);
    EXPECT_STREQ(job->sizeText, "3.7MB");
    releaseJob(job);
}
} // namespace
