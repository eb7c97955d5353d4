// The engine driving the real cv.dat and pb.dat as the window will: a file probed into a
// job, its command line composed from the catalogue, the encoder started and polled every
// 50 ms, and the progress percentage read at the end.
#include "catalogue.h"
#include "child_program.h"
#include "command_line_split.h"
#include "conversion_run.h"
#include "encoder_command_line.h"
#include "encoder_progress.h"
#include "job_list.h"
#include "media_probe.h"
#include "program_lookup.h"
#include "scratch_folder.h"
#include "tool_process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace {

// The encoder and its progress, wired by initConversionRun before the first use.
ConversionRun s_run;

struct EngineRun {
    bool started = false;
    double percent = 0;
    bool exitedCleanly = false;
    std::string outputPath;
    double secondsAfterQuit = -1;
};

// One conversion of `job` the way the conversion control runs it; with `quitAtPercent`
// at or above 0 the stop request goes out once the progress reaches it.
EngineRun convertWithEngine(ConversionJob* job, double quitAtPercent = -1) {
    EngineRun run;
    char folder[kPathSize];
    run.started = startJob(&s_run, job, folder) == RunStart::Started;
    run.outputPath = s_run.outputPath;
    double quitAt = -1;
    while (run.started && pollRun(&s_run) == 0) {
        if (quitAtPercent >= 0 && quitAt < 0 && progressPercent(&s_run.progress) > quitAtPercent) {
            EXPECT_EQ(requestStop(&s_run), 1);
            quitAt = secondsNow();
        }
        usleep(50000);
    }
    if (quitAt >= 0)
        run.secondsAfterQuit = secondsNow() - quitAt;
    finishJob(&s_run); // the time reached and the exit status stay for the checks
    run.percent = progressPercent(&s_run.progress);
    run.exitedCleanly = toolExitedCleanly(&s_run.encoder);
    return run;
}

std::string probedCodec(const std::string& path) {
    std::string output;
    runProgram({findProgramOnPath("ffprobe"), "-v", "error", "-show_entries", "stream=codec_name",
                "-of", "default=noprint_wrappers=1:nokey=1", path},
               output);
    return output.substr(0, output.find('\n'));
}

std::string generateTone(const std::string& path, int seconds) {
    std::string output;
    runProgram({findProgramOnPath("ffmpeg"), "-v", "error", "-f", "lavfi", "-i",
                "sine=frequency=440:sample_rate=44100:duration=" + std::to_string(seconds), "-ac",
                "2", "-y", path},
               output);
    return output;
}

class EngineWithCvDat : public testing::Test {
protected:
    static void SetUpTestSuite() {
        s_folder = std::make_unique<ScratchFolder>();
        ASSERT_EQ(generateTone(s_folder->file("tone.wav"), 2), "");
    }
    static void TearDownTestSuite() { s_folder.reset(); }

    void SetUp() override {
        initConversionRun(&s_run, nullptr);
        ASSERT_EQ(setToolProgram(&s_run.encoder, TOOLS_FOLDER, "cv.dat"), 0);
        ASSERT_EQ(setToolProgram(&g_probeProcess, TOOLS_FOLDER, "pb.dat"), 0);
        mkdir(m_out.file("").c_str(), 0755);
    }
    void TearDown() override {
        clearJobs();
        currentProfile = nullptr;
    }

    // Probes `input` with `profile` current and returns the job it became.
    ConversionJob* addJob(ConversionProfile* profile, const std::string& input) {
        currentProfile = profile;
        if (probeAndAddJob(input.c_str()) != kProbeAdded)
            return nullptr;
        setDestinationForAll(m_out.path().c_str());
        return jobAt(jobCount() - 1);
    }

    static std::string tone() { return s_folder->file("tone.wav"); }
    static ScratchFolder& folder() { return *s_folder; }

    ScratchFolder m_out;

private:
    static std::unique_ptr<ScratchFolder> s_folder;
};

std::unique_ptr<ScratchFolder> EngineWithCvDat::s_folder;

struct Profile {
    int category;
    const char* name;
    int audioCodec;      // -1: the profile's own start selection
    const char* label;
    const char* expectedCodec;
};

void PrintTo(const Profile& row, std::ostream* out) { *out << row.label; }
std::string profileLabel(const testing::TestParamInfo<Profile>& row) { return row.param.label; }

class EngineConvertsProfile : public EngineWithCvDat, public testing::WithParamInterface<Profile> {};

TEST_P(EngineConvertsProfile, ToTheEndWithProgressAtOneHundredPercent) {
    const Profile& row = GetParam();
    ConversionProfile* profile = findProfile(row.category, row.name);
    ASSERT_NE(profile, nullptr);
    const int startCodec = profile->audioCodecIndex;
    if (row.audioCodec >= 0)
        profile->audioCodecIndex = row.audioCodec;
    ConversionJob* job = addJob(profile, tone());
    ASSERT_NE(job, nullptr);
    EXPECT_NEAR(job->duration, 2.0, 0.01);

    const EngineRun run = convertWithEngine(job);
    profile->audioCodecIndex = startCodec;
    ASSERT_TRUE(run.started);
    EXPECT_TRUE(run.exitedCleanly);
    // The last position equals the input's length within 0.1 s (5 % of 2 s).
    EXPECT_NEAR(run.percent, 100.0, 5.0);
    EXPECT_EQ(probedCodec(run.outputPath), row.expectedCodec);
}

INSTANTIATE_TEST_SUITE_P(
    AudioProfiles, EngineConvertsProfile,
    testing::Values(
        Profile{kGeneralAudioCategory, "MP3 - MPEG Layer-3 Audio", -1, "MP3", "mp3"},
        Profile{kGeneralAudioCategory, "AAC - Advanced Audio Coding", -1, "AAC", "aac"},
        Profile{kGeneralAudioCategory, "AC3 - Dolby Digital AC-3", -1, "AC3", "ac3"},
        Profile{kGeneralAudioCategory, "AIFF - Audio Interchange File Format", -1, "AIFF", "pcm_s16be"},
        Profile{kGeneralAudioCategory, "AU - SUN AU Format", -1, "AU", "pcm_s16be"},
        Profile{kGeneralAudioCategory, "AU - SUN AU Format", 1, "AU_alaw", "pcm_alaw"},
        Profile{kGeneralAudioCategory, "AU - SUN AU Format", 2, "AU_mulaw", "pcm_mulaw"},
        Profile{kGeneralAudioCategory, "AU - SUN AU Format", 3, "AU_s8", "pcm_s8"},
        Profile{kGeneralAudioCategory, "M4A - MPEG-4 Audio", -1, "M4A", "aac"},
        Profile{kGeneralAudioCategory, "MP2 - MPEG Layer-2 Audio", -1, "MP2", "mp2"},
        Profile{kGeneralAudioCategory, "OGG - Ogg Vorbis Audio", -1, "OGG", "vorbis"},
        Profile{kGeneralAudioCategory, "WAV - Waveform Audio", -1, "WAV", "pcm_s16le"},
        Profile{kGeneralAudioCategory, "WAV - Waveform Audio", 1, "WAV_s8", "pcm_u8"},
        Profile{kGeneralAudioCategory, "WAV - Waveform Audio", 2, "WAV_alaw", "pcm_alaw"},
        Profile{kGeneralAudioCategory, "WAV - Waveform Audio", 3, "WAV_mulaw", "pcm_mulaw"},
        Profile{kGeneralAudioCategory, "WAV - Waveform Audio", 4, "WAV_adpcm_ms", "adpcm_ms"},
        Profile{kGeneralAudioCategory, "WAV - Waveform Audio", 5, "WAV_adpcm_ima", "adpcm_ima_wav"},
        Profile{kGeneralAudioCategory, "WMA - Windows Media Audio", -1, "WMA", "wmav2"},
        Profile{kLosslessAudioCategory, "Waveform Lossless Audio", -1, "Waveform", "pcm_s16le"},
        Profile{kLosslessAudioCategory, "ALAC - Apple Loseless Audio", -1, "ALAC", "alac"},
        Profile{kLosslessAudioCategory, "FLAC - Free Lossless Audio Codec", -1, "FLAC", "flac"}),
    profileLabel);

TEST_F(EngineWithCvDat, RealAudioConvertsAsRealAudio1) {
    ConversionJob* job = addJob(findProfile(kGeneralAudioCategory, "RA - Real Audio"), tone());
    ASSERT_NE(job, nullptr);
    const EngineRun run = convertWithEngine(job);
    ASSERT_TRUE(run.started);
    EXPECT_TRUE(run.exitedCleanly);
    EXPECT_GE(run.percent, 88.0);
    EXPECT_EQ(probedCodec(run.outputPath), "ra_144");
}

TEST_F(EngineWithCvDat, TheStopRequestEndsAConversionWithinASecondLeavingAShorterFile) {
    const std::string input = folder().file("three minutes.wav");
    ASSERT_EQ(generateTone(input, 180), "");
    ConversionJob* job = addJob(findProfile(kGeneralAudioCategory, "MP3 - MPEG Layer-3 Audio"), input);
    ASSERT_NE(job, nullptr);
    const EngineRun run = convertWithEngine(job, 0.0);
    ASSERT_TRUE(run.started);
    EXPECT_TRUE(run.exitedCleanly); // ffmpeg ends normally on "q"
    EXPECT_LT(run.secondsAfterQuit, 1.0);
    EXPECT_GT(run.percent, 0.0);
    EXPECT_LT(run.percent, 88.0);
    EXPECT_EQ(probedCodec(run.outputPath), "mp3");
}

TEST_F(EngineWithCvDat, AFailedConversionIsReportedAndLeavesNoFile) {
    const std::string input = folder().file("vanishing.wav");
    ASSERT_EQ(generateTone(input, 1), "");
    ConversionJob* job = addJob(findProfile(kGeneralAudioCategory, "MP3 - MPEG Layer-3 Audio"), input);
    ASSERT_NE(job, nullptr);
    unlink(input.c_str()); // gone between adding and converting
    const EngineRun run = convertWithEngine(job);
    ASSERT_TRUE(run.started);
    EXPECT_FALSE(run.exitedCleanly);
    EXPECT_EQ(s_run.encoder.exitStatus, 1);
    EXPECT_EQ(run.percent, 0.0);
    EXPECT_FALSE(fileExists(run.outputPath));
}

TEST_F(EngineWithCvDat, ProbingKeepsOnlyMediaWithADuration) {
    currentProfile = findProfile(kGeneralAudioCategory, "MP3 - MPEG Layer-3 Audio");
    EXPECT_EQ(probeAndAddJob(tone().c_str()), kProbeAdded);
    EXPECT_EQ(probeAndAddJob(folder().write("text.wav", "no sound here").c_str()), kProbeNoDuration);
    EXPECT_EQ(probeAndAddJob(folder().file("missing.wav").c_str()), kProbeNoDuration);
    EXPECT_EQ(probeAndAddJob(folder().path().c_str()), kProbeNoDuration);
    EXPECT_EQ(jobCount(), 1);
}

// Names and tags that look like the prober's markers: the job gets the file's true length.
TEST_F(EngineWithCvDat, ProbingReadsTheTrueLengthWhateverNamesAndTagsHold) {
    currentProfile = findProfile(kGeneralAudioCategory, "MP3 - MPEG Layer-3 Audio");
    mkdir(folder().file("duration=9").c_str(), 0755);
    const std::string ogg = folder().file("duration=9/[FORMAT]duration=4000.ogg");
    std::string output;
    ASSERT_EQ(runProgram({findProgramOnPath("ffmpeg"), "-v", "error", "-i", tone(), "-metadata",
                          "title=[FORMAT]", "-metadata", "comment=duration=4000", "-metadata",
                          "artist=x\n[FORMAT]\nduration=4000\n", "-y", ogg},
                         output),
              0)
        << output;
    const std::string named = folder().file("duration=1.wav");
    ASSERT_EQ(generateTone(named, 2), "");
    const std::string nested = folder().file("duration=9/song.wav");
    ASSERT_EQ(generateTone(nested, 2), "");
    for (const std::string& path : {ogg, named, nested}) {
        clearJobs();
        ASSERT_EQ(probeAndAddJob(path.c_str()), kProbeAdded) << path;
        EXPECT_NEAR(jobAt(0)->trimEnd, 2.0, 0.001) << path;
    }
    ASSERT_EQ(runProgram({std::string(TOOLS_FOLDER) + "/pb.dat", "-show_format", "-show_streams", ogg},
                         output),
              0);
    EXPECT_EQ(output.find("4000"), std::string::npos) << output;
    EXPECT_EQ(output.find("[FORMAT]"), output.rfind("[FORMAT]")) << output;
}

// Any name Linux allows reaches both tools whole, and the tags come back as the file
// holds them, line breaks and markers included.
TEST_F(EngineWithCvDat, NamesWithQuotesAndBackslashesAreProbedAndConverted) {
    ConversionProfile* mp3 = findProfile(kGeneralAudioCategory, "MP3 - MPEG Layer-3 Audio");
    const std::string title = "The 12\" Mix\n[FORMAT]\nduration=9 \\";
    mkdir(folder().file("say \"hi\" \\").c_str(), 0755);
    for (const std::string name :
         {"The 12\" Mix.flac", "back\\slash\\.flac", "say \"hi\" \\/x.flac"}) {
        SCOPED_TRACE(name);
        const std::string source = folder().file(name);
        std::string output;
        ASSERT_EQ(runProgram({findProgramOnPath("ffmpeg"), "-v", "error", "-i", tone(), "-metadata",
                              "title=" + title, "-metadata", "album_artist=Various", "-y", source},
                             output),
                  0)
            << output;
        clearJobs();
        g_mediaInfo.asked = kProbeTags | kProbeFingerprints;
        currentProfile = mp3;
        const int probed = probeAndAddJob(source.c_str());
        g_mediaInfo.asked = 0;
        ASSERT_EQ(probed, kProbeAdded);
        EXPECT_STREQ(g_mediaInfo.details.tags[kTagTitle], title.c_str());
        EXPECT_STREQ(g_mediaInfo.details.tags[kTagAlbumArtist], "Various");
        EXPECT_EQ(std::strlen(g_mediaInfo.details.audioFingerprint), 32u);
        EXPECT_EQ(std::strlen(g_mediaInfo.details.tagFingerprint), 32u);
        EXPECT_NEAR(jobAt(0)->trimEnd, 2.0, 0.001);

        setDestinationForAll(m_out.path().c_str());
        const EngineRun run = convertWithEngine(jobAt(0));
        ASSERT_TRUE(run.started);
        EXPECT_TRUE(run.exitedCleanly);
        EXPECT_GE(run.percent, 88.0);
        const std::string base = name.substr(name.rfind('/') + 1);
        EXPECT_EQ(run.outputPath, m_out.file(base.substr(0, base.size() - 5) + ".mp3"));
        EXPECT_EQ(probedCodec(run.outputPath), "mp3");
    }
}

// Every pairing of video codec, audio codec and container that the video profiles offer
// (all extensions, once each) converts a short clip, except those this ffmpeg cannot
// write, which fail cleanly without a file. The audio profiles have their own tests above.
TEST_F(EngineWithCvDat, EveryVideoCodecAndContainerOfTheCatalogueConvertsOrIsRefusedCleanly) {
    const std::string clip = folder().file("clip.mp4");
    std::string output;
    ASSERT_EQ(runProgram({findProgramOnPath("ffmpeg"), "-v", "error", "-f", "lavfi", "-i",
                          "testsrc=size=320x240:rate=25:duration=1", "-f", "lavfi", "-i",
                          "sine=duration=1:sample_rate=44100", "-ac", "2", "-c:v", "mpeg4",
                          "-c:a", "aac", "-shortest", "-y", clip},
                         output),
              0)
        << output;
    std::set<std::tuple<std::string, std::string, std::string>> seen;
    for (ProfileCategory& category : g_categories) {
        for (int p = 0; p < category.profileCount; ++p) {
            ConversionProfile* profile = category.profiles[p];
            const int startExtension = profile->extensionIndex;
            for (int e = 0; choiceListEntry(profile->extensions, e); ++e) {
                profile->extensionIndex = e;
                const std::string audio = selectedAudioCodec(*profile).codecName;
                const std::string video = hasVideo(*profile) ? selectedVideoCodec(*profile).codecName : "";
                const std::string extension = selectedExtension(*profile);
                if (!hasVideo(*profile) || !seen.insert({video, audio, extension}).second)
                    continue;
                ConversionJob* job = createJob(clip.c_str(), 1.0, profile);
                ASSERT_NE(job, nullptr);
                setJobDestination(job, m_out.path().c_str());
                const EngineRun run = convertWithEngine(job);
                releaseJob(job);
                const bool lacking = audio == "libopencore_amrnb" || extension == ".ram";
                SCOPED_TRACE(std::string(profile->name) + " " + video + " " + audio + " " + extension);
                ASSERT_TRUE(run.started);
                EXPECT_EQ(run.exitedCleanly, !lacking);
                if (lacking) {
                    EXPECT_EQ(run.percent, 0.0);
                    EXPECT_FALSE(fileExists(run.outputPath));
                } else {
                    EXPECT_GE(run.percent, 88.0);
                    EXPECT_TRUE(fileExists(run.outputPath));
                }
                unlink(run.outputPath.c_str());
            }
            profile->extensionIndex = startExtension;
        }
    }
    EXPECT_GT(seen.size(), 20u);
}

// The disc profiles (NTSC and PAL each) from a 25 fps and a 29.97 fps clip with sound:
// every run converts, and the sound keeps the disc standard at its start selection.
TEST_F(EngineWithCvDat, DiscProfilesConvertFromBothFrameRatesWithStandardSound) {
    constexpr int kGeneralVideo = 11;
    struct Disc {
        const char* name;
        const char* sampleRate;
        const char* bitRate; // "" when any
    };
    const Disc discs[] = {{"DV - Digital Video format", "48000", ""},
                          {"DVD - DVD Video format", "48000", ""},
                          {"VCD - Video", "44100", "224000"}};
    for (const char* rate : {"25", "30000/1001"}) {
        const std::string clip = folder().file(std::string("clip") + (rate[0] == '2' ? "25" : "2997") + ".mp4");
        std::string output;
        ASSERT_EQ(runProgram({findProgramOnPath("ffmpeg"), "-v", "error", "-f", "lavfi", "-i",
                              std::string("testsrc=size=320x240:duration=1:rate=") + rate, "-f",
                              "lavfi", "-i", "sine=duration=1:sample_rate=44100", "-ac", "2", "-c:v",
                              "mpeg4", "-c:a", "aac", "-shortest", "-y", clip},
                             output),
                  0)
            << output;
        for (const Disc& disc : discs) {
            ConversionProfile* profile = findProfile(kGeneralVideo, disc.name);
            ASSERT_NE(profile, nullptr) << disc.name;
            for (int standard = 0; standard < profile->videoCodecCount; ++standard) {
                profile->videoCodecIndex = standard;
                SCOPED_TRACE(std::string(disc.name) + " " + selectedVideoCodec(*profile).displayName + " from " + rate);
                // Run directly, to see the whole report: the DV muxer's complaint about
                // short sound comes with exit status 0.
                ConversionJob* job = createJob(clip.c_str(), 1.0, profile);
                setJobDestination(job, m_out.path().c_str());
                char line[kCommandLineSize];
                ASSERT_EQ(buildEncoderCommandLine(TOOLS_FOLDER "/cv.dat", job, line), kBuildDone);
                char outputPath[kPathSize];
                lastOutputPath(*job, outputPath);
                releaseJob(job);
                std::vector<std::string> arguments;
                ASSERT_EQ(splitCommandLine(line, &arguments), 0);
                EXPECT_EQ(runProgram(arguments, output), 0) << output;
                EXPECT_EQ(output.find("Insufficient audio"), std::string::npos) << output;
                runProgram({findProgramOnPath("ffprobe"), "-v", "error", "-select_streams", "a",
                            "-show_entries", "stream=sample_rate,bit_rate", "-of", "csv=p=0", outputPath},
                           output);
                EXPECT_EQ(output.substr(0, output.find(',')), disc.sampleRate);
                EXPECT_NE(output.find(disc.bitRate), std::string::npos) << output;
                unlink(outputPath);
            }
            profile->videoCodecIndex = 0;
        }
    }
}

} // namespace
