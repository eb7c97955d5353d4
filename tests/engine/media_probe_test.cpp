// Probing files for their duration with a fake prober, and the jobs that result.
#include "media_probe.h"

#include "catalogue.h"
#include "command_line_split.h"
#include "fake_support.h"
#include "job_list.h"
#include "path_separator.h"
#include "probe_ahead.h"
#include "test_profiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {
class MediaProbeTest : public testing::Test {
protected:
    MediaProbeTest() : m_savedProfile(currentProfile) {
        currentProfile = &m_profile;
        std::snprintf(g_probeProcess.programPath, sizeof g_probeProcess.programPath, "%s",
                      fakeToolPath().c_str());
    }
    ~MediaProbeTest() override {
        clearJobs();
        currentProfile = m_savedProfile;
    }

    // The fake prober runs the script named by its last argument, which is the path
    // being probed; the script prints `output`.
    std::string mediaPrinting(const std::string& name, const std::string& output) {
        std::string script;
        std::size_t start = 0;
        while (start < output.size()) {
            std::size_t piece = std::min<std::size_t>(200, output.size() - start);
            script += "out " + output.substr(start, piece) + "\n";
            start += piece;
        }
        return writeFile(m_temp.file(name), "err ffprobe banner with duration=99\\n\n" + script);
    }

    ConversionProfile m_profile = mp3Profile();
    ConversionProfile* m_savedProfile;
    ScratchFolder m_temp;
};

struct ProbeCase {
    const char* name;
    std::string output; // fake escapes: \n is a line feed
    int result;
    double duration;
};

void PrintTo(const ProbeCase& c, std::ostream* os) { *os << c.name; }

class ProbeOutput : public MediaProbeTest, public testing::WithParamInterface<ProbeCase> {};

TEST_P(ProbeOutput, DurationComesFromTheFormatSectionOnly) {
    const ProbeCase& c = GetParam();
    std::string path = mediaPrinting("media.wav", c.output);
    EXPECT_EQ(probeAndAddJob(path.c_str()), c.result) << c.name;
    EXPECT_EQ(g_mediaInfo.duration, c.duration) << c.name;
    EXPECT_EQ(g_mediaInfo.outputText, nullptr);
    EXPECT_EQ(g_mediaInfo.outputLength, 0);
    EXPECT_EQ(jobCount(), c.result == kProbeAdded ? 1 : 0);
}

std::string longStreams() {
    std::string streams;
    for (int i = 0; i < 40; ++i) {
        streams += "[STREAM]\\nindex=" + std::to_string(i) + "\\nduration=1.000000\\n[/STREAM]\\n";
    }
    return streams;
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, ProbeOutput,
    testing::Values(
        ProbeCase{"stream then format",
                  "[STREAM]\\nduration=19.5\\n[/STREAM]\\n[FORMAT]\\nfilename=x\\nduration=20.000000"
                  "\\nsize=1\\n[/FORMAT]\\n",
                  kProbeAdded, 20.0},
        ProbeCase{"none after format", "[STREAM]\\nduration=19.5\\n[/STREAM]\\n[FORMAT]\\nsize=1\\n",
                  kProbeNoDuration, 0.0},
        ProbeCase{"over 1024 bytes", longStreams() + "[FORMAT]\\nduration=7.25\\n", kProbeAdded,
                  7.25},
        ProbeCase{"empty", "", kProbeNoDuration, 0.0},
        ProbeCase{"no format", "duration=5\\n", kProbeNoDuration, 0.0},
        ProbeCase{"N/A", "[FORMAT]\\nduration=N/A\\n", kProbeNoDuration, 0.0},
        ProbeCase{"zero", "[FORMAT]\\nduration=0.000000\\n", kProbeNoDuration, 0.0},
        ProbeCase{"negative", "[FORMAT]\\nduration=-4\\n", kProbeNoDuration, -4.0},
        ProbeCase{"not finite", "[FORMAT]\\nduration=inf\\n", kProbeNoDuration, 0.0},
        ProbeCase{"marker and key in values",
                  "[STREAM]\\nTAG:title=[FORMAT] duration=4000\\n[/STREAM]\\n[FORMAT]\\n"
                  "filename=/m/duration=9/song.wav\\nduration=5.000000\\n[/FORMAT]\\n",
                  kProbeAdded, 5.0}));

TEST_F(MediaProbeTest, AddedJobsHaveTheirStartValuesAndJoinTheEnd) {
    std::string first = mediaPrinting("first song.flac", "[FORMAT]\\nduration=240.0\\n");
    std::string second = mediaPrinting("second.flac", "[FORMAT]\\nduration=3725.5\\n");
    ASSERT_EQ(probeAndAddJob(first.c_str()), kProbeAdded);
    ASSERT_EQ(probeAndAddJob(second.c_str()), kProbeAdded);
    ASSERT_EQ(jobCount(), 2);
    ConversionJob* job = jobAt(0);
    EXPECT_EQ(std::string(job->sourcePath), first);
    EXPECT_STREQ(job->sourceBaseName, "first song");
    EXPECT_STREQ(job->sourceExtension, ".flac");
    EXPECT_EQ(std::string(job->sourceDrive) + job->sourceFolder,
              m_temp.path() + NEMARRO_PATH_SEPARATOR);
    EXPECT_EQ(job->trimStart, 0.0);
    EXPECT_EQ(job->trimEnd, 240.0);
    EXPECT_EQ(job->profile, &m_profile);
    EXPECT_STREQ(job->sizeText, "3.7MB");
    EXPECT_STREQ(jobAt(1)->durationText, "01:02:05.50");
    EXPECT_EQ(std::string(g_probeProcess.commandLine), "");
    EXPECT_EQ(g_probeProcess.process, kNoProcess);
}

TEST_F(MediaProbeTest, ProbeLineCarriesTheQuotedPaths) {
    std::snprintf(g_mediaInfo.sourcePath, sizeof g_mediaInfo.sourcePath, "/In/a b.wav");
    std::snprintf(g_probeProcess.programPath, sizeof g_probeProcess.programPath, "/App/pb.dat");
    ASSERT_EQ(probePrepare(&g_probeProcess), 0);
    EXPECT_STREQ(g_probeProcess.commandLine,
                 "\"/App/pb.dat\" -show_format -show_streams \"/In/a b.wav\"");
    EXPECT_EQ(g_mediaInfo.outputCapacity, 1024);
    probeFinish(&g_probeProcess);
    EXPECT_EQ(g_mediaInfo.outputText, nullptr);

    // Any name Linux allows reaches the prober whole (the fake reads the very path it was
    // given); Windows names cannot hold a double quote, and there one is refused.
    std::snprintf(g_probeProcess.programPath, sizeof g_probeProcess.programPath, "%s",
                  fakeToolPath().c_str());
    for (const char* name : {"The 12\" Mix.wav", "back\\slash\\.wav"}) {
        const std::string path = mediaPrinting(name, "[FORMAT]\\nduration=1\\n");
        EXPECT_EQ(probeAndAddJob(path.c_str()),
                  commandLineCanCarry(name) ? kProbeAdded : kProbeRefused)
            << name;
    }
}

// Asked for, the tags and fingerprints come from their own sections only, each tag
// unescaped into its field; what does not fit is left empty, never cut.
TEST_F(MediaProbeTest, TagsAndFingerprintsAreReadFromTheirSectionsWhenAsked) {
    const std::string print(32, 'a');
    const std::string report =
        "[STREAM]\\ncodec_type=audio\\n[/STREAM]\\n[FORMAT]\\nduration=3\\ntitle=not a tag\\n"
        "[/FORMAT]\\n[TAGS]\\ntitle=12\\\\\\\" Mix\\\\n[FORMAT]\\\\x41\\\\q\\ntitle=second\\n"
        "album=" +
        std::string(kTagTextSize, 'l') +
        "\\nartist=\\ntracks=9\\n[/TAGS]\\ngenre=after\\n"
        "[FINGERPRINT]\\naudio=" +
        print + "\\ntags=" + print + "b\\n[/FINGERPRINT]\\n";
    const std::string path = mediaPrinting("tagged.flac", report);
    g_mediaInfo.asked = kProbeTags | kProbeFingerprints;
    EXPECT_EQ(probeAndAddJob(path.c_str()), kProbeAdded);
    g_mediaInfo.asked = 0;
    const MediaDetails& details = g_mediaInfo.details;
    EXPECT_STREQ(details.tags[kTagTitle], "12\\\" Mix\n[FORMAT]A\\q");
    EXPECT_STREQ(details.tags[kTagAlbum], "");
    EXPECT_EQ(details.overlongTags, 1u << kTagAlbum);
    EXPECT_STREQ(details.tags[kTagArtist], "");
    EXPECT_STREQ(details.tags[kTagTrack], "");
    EXPECT_STREQ(details.tags[kTagGenre], "");
    EXPECT_EQ(details.audioFingerprint, print);
    EXPECT_STREQ(details.tagFingerprint, ""); // 33 digits are no fingerprint
    EXPECT_EQ(g_mediaInfo.duration, 3.0);

    g_mediaInfo.asked = kProbeTags | kProbeFingerprints;
    std::snprintf(g_mediaInfo.sourcePath, sizeof g_mediaInfo.sourcePath, "/In/a.flac");
    ASSERT_EQ(probePrepare(&g_probeProcess), 0);
    g_mediaInfo.asked = 0;
    EXPECT_EQ(std::string(g_probeProcess.commandLine),
              "\"" + fakeToolPath() +
                  "\" -show_format -show_streams -show_tags -show_fingerprints \"/In/a.flac\"");
    probeFinish(&g_probeProcess);
}

TEST_F(MediaProbeTest, MissingProberGivesMinusOne) {
    std::snprintf(g_probeProcess.programPath, sizeof g_probeProcess.programPath,
                  "/nonexistent/pb.dat");
    int before = openDescriptorCount();
    EXPECT_EQ(probeAndAddJob("/In/song.wav"), kProbeNotStarted);
    EXPECT_EQ(openDescriptorCount(), before);
    EXPECT_EQ(jobCount(), 0);
    EXPECT_EQ(g_mediaInfo.outputText, nullptr);
}

TEST_F(MediaProbeTest, PathsThatDoNotFitOrCannotBeQuotedAreRefusedBeforeAnythingRuns) {
    if (kProbeLineSize < 2 * kPathSize) {
        // Fits the path's field but not the probe line, which here is no longer.
        std::string longPath = mediaPrinting(std::string(200, 'l') + ".wav", "[FORMAT]\\nduration=1\\n");
        ASSERT_LT(longPath.size(), kPathSize);
        EXPECT_EQ(probeAndAddJob(longPath.c_str()), kProbeRefused);
    }
    std::string tooLong = "/" + std::string(kPathSize, 'x');
    EXPECT_EQ(probeAndAddJob(tooLong.c_str()), kProbeRefused);
    // An extension longer than the job's field: the prober would note that it ran.
    const std::string ran = m_temp.file("prober ran");
    std::string longExtension = writeFile(m_temp.file("song." + std::string(kExtensionSize, 'e')),
                                          "session " + ran + "\nout [FORMAT]\\nduration=1\\n\n");
    EXPECT_EQ(probeAndAddJob(longExtension.c_str()), kProbeRefused);
    EXPECT_FALSE(std::filesystem::exists(ran));
    EXPECT_EQ(jobCount(), 0);
    EXPECT_EQ(g_mediaInfo.outputText, nullptr);
    EXPECT_EQ(g_probeProcess.process, kNoProcess);
}
} // namespace

namespace {
// Several probers at once: outcomes come in the list's order whatever order the probers
// end in, each with its own duration and sound; and the waits overlap.
TEST_F(MediaProbeTest, ReadAheadOverlapsProbersAndKeepsTheListsOrder) {
    struct Entry {
        int sleepMs;
        std::string output;
        int result;
        double duration;
        bool hasAudio;
    } entries[] = {
        {600, "[STREAM]\\ncodec_type=audio\\n[/STREAM]\\n[FORMAT]\\nduration=3\\n", kProbeReadable, 3, true},
        {100, "[STREAM]\\ncodec_type=video\\nTAG:x=codec_type=audio\\n[/STREAM]\\n[FORMAT]\\nduration=4\\n",
         kProbeReadable, 4, false},
        {300, "", kProbeNoDuration, 0, false},
        {0, "[FORMAT]\\nduration=5\\n[/FORMAT]\\ncodec_type=audio\\n[FINGERPRINT]\\naudio=" + std::string(32, 'f'),
         kProbeReadable, 5, false},
    };
    std::vector<std::string> paths;
    for (const Entry& e : entries) {
        paths.push_back(writeFile(m_temp.file("p" + std::to_string(paths.size()) + ".wav"),
                                  "sleep " + std::to_string(e.sleepMs) + "\nout " + e.output + "\n"));
    }
    paths.push_back("/" + std::string(kPathSize, 'x')); // refused before anything runs
    std::vector<const char*> list;
    for (const std::string& p : paths) {
        list.push_back(p.c_str());
    }
    const auto start = std::chrono::steady_clock::now();
    ProbeAhead* ahead = createProbeAhead(fakeToolPath().c_str(), list.data(), int(list.size()), 4);
    ASSERT_NE(ahead, nullptr);
    askProbesFor(ahead, kProbeFingerprints);
    ProbeOutcome outcome{};
    for (const Entry& e : entries) {
        ASSERT_EQ(takeNextProbe(ahead, &outcome), 1);
        EXPECT_EQ(outcome.path, list[std::size_t(&e - entries)]);
        EXPECT_EQ(outcome.result, e.result) << outcome.path;
        EXPECT_EQ(outcome.duration, e.duration) << outcome.path;
        EXPECT_EQ(outcome.hasAudio, e.hasAudio) << outcome.path;
        EXPECT_EQ(std::string(outcome.details.audioFingerprint),
                  e.output.find("[FINGERPRINT]") != std::string::npos ? std::string(32, 'f') : "");
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 0.95); // one after another would take 1.0 s and more
    EXPECT_STREQ(nextProbePath(ahead), list.back());
    ASSERT_EQ(takeNextProbe(ahead, &outcome), 1);
    EXPECT_EQ(outcome.result, kProbeRefused);
    EXPECT_EQ(takeNextProbe(ahead, &outcome), 0);
    releaseProbeAhead(ahead);
    EXPECT_EQ(jobCount(), 0); // probing alone adds nothing
}
} // namespace
