// cv.dat over the real ffmpeg: every audio profile's start selection (and each codec of AU
// and WAV) converts a generated tone that ffprobe then checks, with the progress ending on
// the input's length; refusals, stopping with "q", and failures.
#include "child_program.h"
#include "program_lookup.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <set>

namespace {

constexpr double kToneSeconds = 2.0;

// ffprobe's view of a file: codec_name, sample_rate, channels, duration.
std::map<std::string, std::string> probe(const std::string& path) {
    std::string output;
    runProgram({findProgramOnPath("ffprobe"), "-v", "error", "-show_entries",
                "stream=codec_name,sample_rate,channels:format=duration", "-of",
                "default=noprint_wrappers=1", path},
               output);
    std::map<std::string, std::string> fields;
    std::size_t start = 0;
    while (start < output.size()) {
        std::size_t end = output.find('\n', start);
        if (end == std::string::npos)
            end = output.size();
        const std::string line = output.substr(start, end - start);
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos)
            fields.emplace(line.substr(0, equals), line.substr(equals + 1));
        start = end + 1;
    }
    return fields;
}

// The value behind the last "time=" of the output.
double lastTime(const std::string& output) {
    const std::size_t at = output.rfind("time=");
    return at == std::string::npos ? -1 : std::atof(output.c_str() + at + 5);
}

// The last complete line: what a reader that keeps only that line sees at the end.
std::string lastCompleteLine(const std::string& output) {
    const std::size_t end = output.find_last_of("\r\n");
    if (end == std::string::npos)
        return {};
    const std::size_t trimmed = output.find_last_not_of("\r\n", end);
    if (trimmed == std::string::npos)
        return {};
    const std::size_t start = output.find_last_of("\r\n", trimmed);
    return output.substr(start == std::string::npos ? 0 : start + 1,
                         trimmed - (start == std::string::npos ? 0 : start + 1) + 1);
}

class CvDatWithFfmpeg : public testing::Test {
protected:
    static void SetUpTestSuite() {
        s_folder = std::make_unique<ScratchFolder>();
        std::string output;
        const std::string ffmpeg = findProgramOnPath("ffmpeg");
        ASSERT_FALSE(ffmpeg.empty()) << "these tests need ffmpeg";
        ASSERT_EQ(runProgram({ffmpeg, "-v", "error", "-f", "lavfi", "-i",
                              "sine=frequency=440:sample_rate=44100:duration=2", "-ac", "2",
                              "-y", tone()},
                             output),
                  0)
            << output;
    }
    static void TearDownTestSuite() { s_folder.reset(); }

    static std::string tone() { return s_folder->file("tone.wav"); }
    static ScratchFolder& folder() { return *s_folder; }

    // The arguments the system composes for an audio profile: the range part, -y, then
    // codec, bit rate, sample rate and channels ("Auto" leaves an option out).
    static std::vector<std::string> line(const std::string& codec, const std::string& bitRate,
                                         const std::string& sampleRate, const std::string& channels,
                                         const std::string& output) {
        std::vector<std::string> argv = {CV_DAT_PATH, "-i", tone(), "-vn", "-y", "-acodec", codec};
        if (bitRate != "Auto")
            argv.insert(argv.end(), {"-ab", bitRate});
        argv.insert(argv.end(), {"-ar", sampleRate});
        if (channels == "Stereo" || channels == "Mono" || channels == "5.1")
            argv.insert(argv.end(),
                        {"-ac", channels == "Stereo" ? "2" : channels == "Mono" ? "1" : "5.1"});
        argv.push_back(output);
        return argv;
    }

private:
    static std::unique_ptr<ScratchFolder> s_folder;
};

std::unique_ptr<ScratchFolder> CvDatWithFfmpeg::s_folder;

struct Selection {
    const char* label; // profile and codec
    const char* codec;
    const char* bitRate;
    const char* sampleRate;
    const char* channels;
    const char* extension;
    const char* expectedCodec; // as ffprobe names it
    const char* expectedRate;
    const char* expectedChannels;
};

void PrintTo(const Selection& row, std::ostream* out) { *out << row.label; }

std::string selectionName(const testing::TestParamInfo<Selection>& row) { return row.param.label; }

class CvDatConvertsSelection : public CvDatWithFfmpeg,
                               public testing::WithParamInterface<Selection> {};

TEST_P(CvDatConvertsSelection, IntoTheExpectedCodecAndLengthWithProgressEndingAtTheEnd) {
    const Selection& s = GetParam();
    const std::string output = folder().file(std::string(s.label) + s.extension);
    std::string report;
    ASSERT_EQ(runProgram(line(s.codec, s.bitRate, s.sampleRate, s.channels, output), report), 0)
        << report;
    const auto fields = probe(output);
    EXPECT_EQ(fields.count("codec_name") ? fields.at("codec_name") : "", s.expectedCodec);
    EXPECT_EQ(fields.count("sample_rate") ? fields.at("sample_rate") : "", s.expectedRate);
    EXPECT_EQ(fields.count("channels") ? fields.at("channels") : "", s.expectedChannels);
    ASSERT_TRUE(fields.count("duration"));
    // ffmpeg's RealMedia muxer records no length for RealAudio 1.0 (ffprobe reads 0).
    if (std::string(s.expectedCodec) != "ra_144") {
        EXPECT_NEAR(std::atof(fields.at("duration").c_str()), kToneSeconds, 0.1);
    }
    EXPECT_NEAR(lastTime(report), kToneSeconds, 0.1) << report;
    const std::string last = lastCompleteLine(report);
    ASSERT_NE(last.find("time="), std::string::npos) << report;
    EXPECT_NEAR(std::atof(last.c_str() + last.find("time=") + 5), kToneSeconds, 0.1);
}

// "General Audio", "Lossless Audio" and "Modern Audio" at their start selections.
INSTANTIATE_TEST_SUITE_P(
    StartSelections, CvDatConvertsSelection,
    testing::Values(
        Selection{"MP3", "libmp3lame", "128K", "48000", "Stereo", ".mp3", "mp3", "48000", "2"},
        Selection{"AAC", "libvo_aacenc", "112K", "44100", "Stereo", ".aac", "aac", "44100", "2"},
        Selection{"AC3", "ac3", "192K", "44100", "Stereo", ".ac3", "ac3", "44100", "2"},
        Selection{"AIFF", "pcm_s16le", "Auto", "44100", "Stereo", ".aiff", "pcm_s16be", "44100", "2"},
        Selection{"AU_s16le", "pcm_s16le", "Auto", "44100", "Stereo", ".au", "pcm_s16be", "44100", "2"},
        Selection{"AU_alaw", "pcm_alaw", "Auto", "44100", "Stereo", ".au", "pcm_alaw", "44100", "2"},
        Selection{"AU_mulaw", "pcm_mulaw", "Auto", "44100", "Stereo", ".au", "pcm_mulaw", "44100", "2"},
        Selection{"AU_s8", "pcm_s8", "Auto", "44100", "Stereo", ".au", "pcm_s8", "44100", "2"},
        Selection{"M4A", "libvo_aacenc", "192K", "44100", "Stereo", ".m4a", "aac", "44100", "2"},
        Selection{"MP2", "mp2", "128K", "44100", "Stereo", ".mp2", "mp2", "44100", "2"},
        Selection{"OGG", "vorbis", "128K", "44100", "Stereo", ".ogg", "vorbis", "44100", "2"},
        Selection{"RA", "cook", "128K", "44100", "Stereo", ".ra", "ra_144", "8000", "1"},
        Selection{"WAV_s16le", "pcm_s16le", "Auto", "44100", "Stereo", ".wav", "pcm_s16le", "44100", "2"},
        Selection{"WAV_s8", "pcm_s8", "Auto", "44100", "Stereo", ".wav", "pcm_u8", "44100", "2"},
        Selection{"WAV_alaw", "pcm_alaw", "Auto", "44100", "Stereo", ".wav", "pcm_alaw", "44100", "2"},
        Selection{"WAV_mulaw", "pcm_mulaw", "Auto", "44100", "Stereo", ".wav", "pcm_mulaw", "44100", "2"},
        Selection{"WAV_adpcm_ms", "adpcm_ms", "Auto", "44100", "Stereo", ".wav", "adpcm_ms", "44100", "2"},
        Selection{"WAV_adpcm_ima", "adpcm_ima_wav", "Auto", "44100", "Stereo", ".wav", "adpcm_ima_wav", "44100", "2"},
        Selection{"WMA_v8", "wmav2", "128K", "44100", "Stereo", ".wma", "wmav2", "44100", "2"},
        Selection{"WMA_v7", "wmav1", "128K", "44100", "Stereo", ".wma", "wmav1", "44100", "2"},
        Selection{"Waveform", "pcm_s16le", "Auto", "44100", "Stereo", ".wav", "pcm_s16le", "44100", "2"},
        Selection{"ALAC", "alac", "Auto", "44100", "Stereo", ".m4a", "alac", "44100", "2"},
        Selection{"FLAC", "flac", "Auto", "44100", "Stereo", ".flac", "flac", "44100", "2"},
        Selection{"Opus", "libopus", "128K", "48000", "Stereo", ".opus", "opus", "48000", "2"},
        Selection{"MP3_VBR", "libmp3lame", "V2", "44100", "Stereo", ".mp3", "mp3", "44100", "2"},
        Selection{"M4A_VBR", "aac", "Q1", "44100", "Stereo", ".m4a", "aac", "44100", "2"}),
    selectionName);

// Choices the Edit Profile dialog offers that this ffmpeg takes only after mapping.
INSTANTIATE_TEST_SUITE_P(
    MappedChoices, CvDatConvertsSelection,
    testing::Values(
        Selection{"AC3_51_32K", "ac3", "32K", "8000", "5.1", ".ac3", "ac3", "32000", "6"},
        Selection{"AC3_96000", "ac3", "640K", "96000", "Mono", ".ac3", "ac3", "48000", "1"},
        Selection{"MP3_51", "libmp3lame", "320K", "22050", "5.1", ".mp3", "mp3", "22050", "2"},
        Selection{"MP2_16000_320K", "mp2", "320K", "16000", "Stereo", ".mp2", "mp2", "16000", "2"},
        Selection{"AIFF_51_72000", "pcm_s16le", "Auto", "72000", "5.1", ".aiff", "pcm_s16be", "72000", "6"},
        Selection{"Waveform_51_54000", "pcm_s16le", "Auto", "54000", "5.1", ".wav", "pcm_s16le", "54000", "6"},
        Selection{"AU_alaw_51", "pcm_alaw", "Auto", "96000", "5.1", ".au", "pcm_alaw", "96000", "6"},
        Selection{"OGG_mono_8000", "vorbis", "32K", "8000", "Mono", ".ogg", "vorbis", "8000", "1"},
        Selection{"Opus_51_44100", "libopus", "64K", "44100", "5.1", ".opus", "opus", "48000", "6"}),
    selectionName);

// LAME's V2 varies its frames with the sound; the length its Info frame records is the
// whole tone, which pb.dat reads back without decoding.
TEST_F(CvDatWithFfmpeg, LameV2WritesFramesOfVaryingSizeAndRecordsItsLength) {
    const std::string output = folder().file("vbr.mp3");
    std::string report;
    ASSERT_EQ(runProgram(line("libmp3lame", "V2", "44100", "Stereo", output), report), 0) << report;
    std::string sizes;
    runProgram({findProgramOnPath("ffprobe"), "-v", "error", "-select_streams", "a",
                "-show_entries", "packet=size", "-of", "csv=p=0", output},
               sizes);
    std::set<std::string> distinct;
    for (std::size_t start = 0, end; (end = sizes.find('\n', start)) != std::string::npos;
         start = end + 1)
        distinct.insert(sizes.substr(start, end - start));
    EXPECT_GE(distinct.size(), 2u) << sizes;
    ASSERT_EQ(runProgram({PB_DAT_PATH, "-show_length", output}, report), 0);
    EXPECT_NEAR(std::atof(report.c_str() + report.find("length=") + 7), kToneSeconds, 0.05);
}

TEST_F(CvDatWithFfmpeg, ARealAudioLinkFileIsRefusedWithOneClearLineAndNoFile) {
    const std::string output = folder().file("real.ram");
    std::string report;
    EXPECT_EQ(runProgram(line("cook", "96K", "44100", "Stereo", output), report), 1);
    EXPECT_EQ(report, "cv.dat: RealAudio metafiles (.ram) cannot be written: this ffmpeg has no "
                      "muxer for them\n");
    EXPECT_FALSE(fileExists(output));
}

// A tagged FLAC with a cover, converted with every audio profile whose container has tags.
// The cover, a noisy 400x400 PNG, is larger than the 128 KiB one argument may hold.
struct Keeping {
    const char* extension;
    const char* codec;
    bool cover;       // the container holds a picture: it must arrive marked as the cover
    const char* tags; // the tags ffprobe must read back
};

class CvDatKeeps : public CvDatWithFfmpeg, public testing::WithParamInterface<Keeping> {};

TEST_P(CvDatKeeps, TheCoverAndTagsTheContainerCanHold) {
    const Keeping& row = GetParam();
    const std::string source = folder().file("tagged.flac");
    std::string report;
    if (!fileExists(source)) {
        ASSERT_EQ(runProgram({findProgramOnPath("ffmpeg"), "-v", "error", "-f", "lavfi", "-i",
                              "sine=duration=2", "-f", "lavfi", "-i",
                              "nullsrc=s=400x400:d=1,geq=random(1)*255:128:128",
                              "-map", "0:a", "-map", "1:v", "-c:v", "png", "-disposition:v",
                              "attached_pic", "-metadata", "title=Tune", "-metadata", "artist=Band",
                              "-metadata", "album=Disc", "-metadata", "track=3", "-metadata",
                              "date=2020", "-metadata", "genre=Rock", "-y", source},
                             report),
                  0)
            << report;
    }
    const std::string output = folder().file(std::string("kept") + row.extension);
    ASSERT_EQ(runProgram({CV_DAT_PATH, "-i", source, "-vn", "-y", "-acodec", row.codec, output},
                         report),
              0)
        << report;
    std::string probed;
    runProgram({findProgramOnPath("ffprobe"), "-v", "error", "-show_entries",
                "stream=codec_type,codec_name,width:stream_disposition=attached_pic:stream_tags:format_tags", "-of",
                "flat", output},
               probed);
    EXPECT_EQ(probed.find("codec_type=\"video\"") != std::string::npos, row.cover) << probed;
    if (row.cover) {
        EXPECT_NE(probed.find("disposition.attached_pic=1"), std::string::npos) << probed;
        EXPECT_NE(probed.find(".width=400"), std::string::npos) << probed;
    }
    for (const std::string tag : {"title=\"Tune\"", "artist=\"Band\"", "album=\"Disc\"",
                                  "track=\"3\"", "date=\"2020\"", "genre=\"Rock\""}) {
        const std::string name = tag.substr(0, tag.find('='));
        if (std::string(row.tags).find(name) != std::string::npos) {
            EXPECT_NE(probed.find("tags." + tag), std::string::npos) << probed; // Ogg: per stream
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    AudioProfiles, CvDatKeeps,
    testing::Values(Keeping{".mp3", "libmp3lame", true, "title artist album track date genre"},
                    Keeping{".m4a", "libvo_aacenc", true, "title artist album track date genre"},
                    Keeping{".flac", "flac", true, "title artist album track date genre"},
                    Keeping{".aiff", "pcm_s16le", true, "title artist album track date genre"},
                    Keeping{".aac", "libvo_aacenc", false, "title artist album track date genre"},
                    Keeping{".ogg", "vorbis", true, "title artist album track date genre"},
                    Keeping{".opus", "libopus", true, "title artist album track date genre"},
                    Keeping{".wma", "wmav2", false, "title artist album track date genre"},
                    Keeping{".wav", "pcm_s16le", false, "title artist album track date genre"},
                    Keeping{".au", "pcm_s16le", false, "title artist album track genre"},
                    Keeping{".ra", "cook", false, "title"}),
    [](const testing::TestParamInfo<Keeping>& row) {
        return std::string(row.param.extension + 1);
    });

// A 30-second tone, made once.
std::string longTone(ScratchFolder& folder) {
    const std::string input = folder.file("long.wav");
    std::string report;
    if (!fileExists(input)) {
        EXPECT_EQ(runProgram({findProgramOnPath("ffmpeg"), "-v", "error", "-f", "lavfi", "-i",
                              "sine=frequency=440:sample_rate=44100:duration=30", "-ac", "2",
                              "-y", input},
                             report),
                  0);
    }
    return input;
}

// A long conversion paced by -re, so that the run is as long as the input, seen running.
void startPacedConversion(ChildProgram& cv, const std::string& input, const std::string& output) {
    ASSERT_TRUE(cv.start({CV_DAT_PATH, "-re", "-i", input, "-vn", "-y", "-acodec", "libmp3lame",
                          "-ab", "128K", "-ar", "44100", "-ac", "2", output}));
    ASSERT_TRUE(cv.waitForOutput("time=1.", 20)) << cv.output();
}

TEST_F(CvDatWithFfmpeg, AQuitRequestEndsALongConversionQuicklyWithAValidShorterFile) {
    const std::string output = folder().file("stopped.mp3");
    ChildProgram cv;
    startPacedConversion(cv, longTone(folder()), output);
    const double asked = secondsNow();
    cv.writeInput("q\n");
    EXPECT_EQ(cv.finish(), 0) << cv.output();
    EXPECT_LT(secondsNow() - asked, 1.0);

    const auto fields = probe(output);
    ASSERT_TRUE(fields.count("duration")) << "not a readable file";
    EXPECT_EQ(fields.at("codec_name"), "mp3");
    const double duration = std::atof(fields.at("duration").c_str());
    EXPECT_GT(duration, 1.0);
    EXPECT_LT(duration, 20.0);
    EXPECT_NEAR(lastTime(cv.output()), duration, 0.6);
}

// How the program that started cv.dat can vanish: its end of cv.dat's input, of its
// output, or both (killed).
struct Vanishing {
    const char* label;
    bool input;
    bool output;
};

void PrintTo(const Vanishing& row, std::ostream* out) { *out << row.label; }

class CvDatOutlivingItsParent : public CvDatWithFfmpeg,
                                public testing::WithParamInterface<Vanishing> {};

TEST_P(CvDatOutlivingItsParent, StopsFfmpegWithinTwoSecondsLeavingAValidShorterFile) {
    const Vanishing& row = GetParam();
    const std::string output = folder().file(std::string("orphan ") + row.label + ".mp3");
    ChildProgram cv;
    startPacedConversion(cv, longTone(folder()), output);
    const double gone = secondsNow();
    cv.abandon(row.input, row.output);
    // cv.dat waits for its ffmpeg before it ends, so its end is the end of both.
    EXPECT_EQ(cv.waitForEnd(3.0), 0);
    EXPECT_LT(secondsNow() - gone, 2.0);

    const auto fields = probe(output);
    ASSERT_TRUE(fields.count("duration")) << "not a readable file";
    EXPECT_EQ(fields.at("codec_name"), "mp3");
    const double duration = std::atof(fields.at("duration").c_str());
    EXPECT_GT(duration, 1.0);
    EXPECT_LT(duration, 20.0);
}

INSTANTIATE_TEST_SUITE_P(Parent, CvDatOutlivingItsParent,
                         testing::Values(Vanishing{"InputEnds", true, false},
                                         Vanishing{"OutputBreaks", false, true},
                                         Vanishing{"Killed", true, true}),
                         [](const testing::TestParamInfo<Vanishing>& row) { return row.param.label; });

TEST_F(CvDatWithFfmpeg, AFailedConversionPassesItsStatusOnAndLeavesNoFileBehind) {
    // The MP3 muxer takes only MP3: ffmpeg has created the output by the time it notices.
    const std::string output = folder().file("refused.mp3");
    std::string report;
    EXPECT_NE(runProgram({CV_DAT_PATH, "-i", tone(), "-vn", "-y", "-acodec", "pcm_s16le", output},
                         report),
              0);
    EXPECT_FALSE(fileExists(output)) << report;

    const std::string missingInput = folder().file("missing.mp3");
    EXPECT_EQ(runProgram({CV_DAT_PATH, "-i", folder().file("no such file.wav"), "-vn", "-y",
                          "-acodec", "libmp3lame", missingInput},
                         report),
              1);
    EXPECT_FALSE(fileExists(missingInput));
}

} // namespace
