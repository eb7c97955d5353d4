// The legacy encoder arguments and what ffmpeg 5.1 is given for them.
#include "argument_translation.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::vector<std::string> words(const std::string& text) {
    std::istringstream stream(text);
    std::vector<std::string> result;
    for (std::string word; stream >> word;)
        result.push_back(word);
    return result;
}

std::string joined(const std::vector<std::string>& list) {
    std::string text;
    for (const std::string& word : list)
        text += (text.empty() ? "" : " ") + word;
    return text;
}

struct Translation {
    const char* legacy;   // the options after "-i in.wav -vn -y", output path last
    const char* expected; // what follows "-hide_banner -i in.wav -vn -y"
};

class ArgumentTranslation : public testing::TestWithParam<Translation> {};

TEST_P(ArgumentTranslation, GivesFfmpegWhatItAccepts) {
    const Translation& row = GetParam();
    FfmpegCommand command;
    ASSERT_EQ(translateArguments(words(std::string("-i in.wav -vn -y ") + row.legacy), command),
              "");
    // Containers that hold a cover get the source's pictures in place of "-vn".
    const std::string output = words(row.legacy).back();
    const std::string extension = output.substr(output.rfind('.'));
    const bool cover = extension == ".mp3" || extension == ".m4a" || extension == ".flac" ||
                       extension == ".AIFF";
    EXPECT_EQ(joined(command.arguments),
              std::string("-hide_banner -i in.wav ") +
                  (cover ? "-map 0:a:0 -map 0:v? -map -0:V? -c:v copy" : "-vn") + " -y " +
                  row.expected);
    EXPECT_EQ(command.outputPath, output);
}

INSTANTIATE_TEST_SUITE_P(
    Audio, ArgumentTranslation,
    testing::Values(
        // Names this ffmpeg knows pass unchanged, under today's option names.
        Translation{"-acodec libmp3lame -ab 128K -ar 48000 -ac 2 o.mp3",
                    "-c:a libmp3lame -b:a 128K -ar 48000 -ac 2 o.mp3"},
        Translation{"-acodec wmav2 -ab 128K -ar 44100 -ac 1 o.wma",
                    "-c:a wmav2 -b:a 128K -ar 44100 -ac 1 o.wma"},
        Translation{"-acodec flac -ar 96000 -ac 2 o.flac", "-c:a flac -ar 96000 -ac 2 o.flac"},
        Translation{"-acodec pcm_s16le -ar 54000 -ac 5.1 o.wav",
                    "-c:a pcm_s16le -ar 54000 -ac 6 o.wav"},
        // Codec names of the past.
        Translation{"-acodec libvo_aacenc -ab 112K -ar 44100 -ac 2 o.aac",
                    "-c:a aac -b:a 112K -ar 44100 -ac 2 -write_id3v2 1 o.aac"},
        Translation{"-acodec vorbis -ab 128K -ar 44100 -ac 2 o.ogg",
                    "-c:a libvorbis -q:a 4.0 -ar 44100 -ac 2 o.ogg"},
        Translation{"-acodec vorbis -ab 32K -ar 8000 o.ogg", "-c:a libvorbis -q:a -1.0 -ar 8000 o.ogg"},
        Translation{"-acodec vorbis -ab 320K o.ogg", "-c:a libvorbis -q:a 9.0 o.ogg"},
        Translation{"-acodec vorbis -ab 144K o.ogg", "-c:a libvorbis -q:a 4.5 o.ogg"},
        Translation{"-acodec libvorbis -ab 144K o.webm", "-c:a libvorbis -b:a 144K o.webm"},
        // Sample formats the container cannot hold.
        Translation{"-acodec pcm_s16le -ar 44100 o.au", "-c:a pcm_s16be -ar 44100 o.au"},
        Translation{"-acodec pcm_s16le -ar 44100 /x/O.AIFF",
                    "-c:a pcm_s16be -ar 44100 -write_id3v2 1 /x/O.AIFF"},
        Translation{"-acodec pcm_s8 -ar 44100 o.wav", "-c:a pcm_u8 -ar 44100 o.wav"},
        Translation{"-acodec pcm_s8 -ar 44100 o.au", "-c:a pcm_s8 -ar 44100 o.au"},
        Translation{"-acodec pcm_alaw -ar 44100 o.wav", "-c:a pcm_alaw -ar 44100 o.wav"},
        // Encoders limited to two channels.
        Translation{"-acodec libmp3lame -ac 5.1 o.mp3", "-c:a libmp3lame -ac 2 o.mp3"},
        Translation{"-acodec mp2 -ac 5.1 o.mp2", "-c:a mp2 -ac 2 o.mp2"},
        Translation{"-acodec wmav1 -ac 6 o.wma", "-c:a wmav1 -ac 2 o.wma"},
        Translation{"-acodec adpcm_ms -ac 5.1 o.wav", "-c:a adpcm_ms -ac 2 o.wav"},
        Translation{"-acodec ac3 -ab 192K -ac 5.1 o.ac3", "-c:a ac3 -b:a 192K -ac 6 o.ac3"},
        // Sample rates an encoder refuses become the nearest one it takes.
        Translation{"-acodec libmp3lame -ar 96000 o.mp3", "-c:a libmp3lame -ar 48000 o.mp3"},
        Translation{"-acodec ac3 -ar 8000 o.ac3", "-c:a ac3 -ar 32000 o.ac3"},
        Translation{"-acodec ac3 -ar 54000 o.ac3", "-c:a ac3 -ar 48000 o.ac3"},
        Translation{"-acodec ac3 -ar 22050 o.ac3", "-c:a ac3 -ar 32000 o.ac3"},
        Translation{"-acodec libvo_aacenc -ar 54000 o.m4a", "-c:a aac -ar 48000 o.m4a"},
        Translation{"-acodec libvo_aacenc -ar 72000 o.m4a", "-c:a aac -ar 64000 o.m4a"},
        Translation{"-acodec wmav2 -ar 96000 o.wma", "-c:a wmav2 -ar 48000 o.wma"},
        Translation{"-acodec mp2 -ar 8000 o.mp2", "-c:a mp2 -ar 16000 o.mp2"},
        // Bit rates: layer II has a fixed set, smaller below 32 kHz; AC-3 needs more for 5.1.
        Translation{"-acodec mp2 -ab 640K -ar 44100 o.mp2", "-c:a mp2 -b:a 384K -ar 44100 o.mp2"},
        Translation{"-acodec mp2 -ab 320K -ar 16000 o.mp2", "-c:a mp2 -b:a 160K -ar 16000 o.mp2"},
        Translation{"-acodec mp2 -ab 200K o.mp2", "-c:a mp2 -b:a 192K o.mp2"},
        Translation{"-acodec mp2 -ab 128K -ar 44100 o.mp2", "-c:a mp2 -b:a 128K -ar 44100 o.mp2"},
        Translation{"-acodec ac3 -ab 32K -ac 5.1 o.ac3", "-c:a ac3 -b:a 48K -ac 6 o.ac3"},
        Translation{"-acodec ac3 -ab 32K -ac 2 o.ac3", "-c:a ac3 -b:a 32K -ac 2 o.ac3"},
        // RealAudio 1.0 is one fixed format, given even when the profile leaves it open.
        Translation{"-acodec cook -ab 96K -ar 44100 -ac 2 o.ra",
                    "-c:a real_144 -b:a 96K -ar 8000 -ac 1 o.ra"},
        Translation{"-acodec cook o.ra", "-c:a real_144 -ar 8000 -ac 1 o.ra"},
        // Texts that are no number are passed on for ffmpeg to judge.
        Translation{"-acodec libmp3lame -ab auto -ar x o.mp3", "-c:a libmp3lame -b:a auto -ar x o.mp3"}));

TEST(ArgumentTranslationLine, RangeOptionsAndPathsWithBlanksStayInPlace) {
    FfmpegCommand command;
    const std::vector<std::string> legacy = {
        "-ss", "10.000000", "-i",  "/in/my song.wav", "-t",  "30.000000", "-vn",
        "-y",  "-acodec",   "mp2", "-ab",             "640K", "/out/my song.mp2"};
    ASSERT_EQ(translateArguments(legacy, command), "");
    const std::vector<std::string> expected = {
        "-hide_banner", "-ss", "10.000000", "-i",   "/in/my song.wav", "-t",  "30.000000",
        "-vn",          "-y",  "-c:a",      "mp2",  "-b:a",            "384K", "/out/my song.mp2"};
    EXPECT_EQ(command.arguments, expected);
    EXPECT_EQ(command.outputPath, "/out/my song.mp2");
}

// A re-tag: the first input's sound copied, the second's tags and (where the container
// holds one) cover, none of the first input's tags.
TEST(ArgumentTranslationLine, TwoInputsRetagTheFirstWithTheSecondsTags) {
    for (const auto& [output, streams] : std::vector<std::pair<std::string, std::string>>{
             {"new.mp3", "-map 0:a:0 -map 1:v? -map -1:V? -c:v copy"}, {"new.ogg", "-map 0:a:0 -vn"},
             {"new.aiff", "-map 0:a:0 -map 1:v? -map -1:V? -c:v copy"}}) {
        FfmpegCommand command;
        ASSERT_EQ(translateArguments(words("-i old -i src.flac -vn -y -acodec copy " + output), command), "");
        EXPECT_EQ(joined(command.arguments),
                  "-hide_banner -i old -i src.flac " + streams +
                      " -map_metadata 1 -map_metadata:s:a 1:s:a -y -c:a copy " +
                      (output == "new.aiff" ? "-write_id3v2 1 " : "") + output);
        EXPECT_EQ(command.outputPath, output);
    }
}

TEST(ArgumentTranslationLine, VideoOptionsUseTodaysNamesAndKeepTargetArguments) {
    FfmpegCommand command;
    ASSERT_EQ(translateArguments(words("-i in.avi -y -vcodec libx264 -s 320x240 -b 640K -r 29.97 "
                                       "-aspect 4:3 -acodec libvo_aacenc -ab 128K o.mp4"),
                                 command),
              "");
    EXPECT_EQ(joined(command.arguments),
              "-hide_banner -i in.avi -y -c:v libx264 -s 320x240 -b:v 640K -r 29.97 -aspect 4:3 "
              "-c:a aac -b:a 128K o.mp4");
    // The DV and DVD codec names carry a target that chooses codec, size and muxer itself.
    ASSERT_EQ(translateArguments(words("-i in.avi -y -vcodec dvvideo -target pal-dv -s 720x576 "
                                       "-acodec pcm_s16le -ar 48000 o.dv"),
                                 command),
              "");
    // DV gets its sound padded to the video's end (the muxer refuses a short share).
    EXPECT_EQ(joined(command.arguments), "-hide_banner -i in.avi -y -c:v dvvideo -target pal-dv "
                                         "-s 720x576 -c:a pcm_s16le -ar 48000 -af apad -shortest o.dv");
}

TEST(ArgumentTranslationLine, ContainersFfmpegCannotGuessGetTheirMuxerBeforeTheOutput) {
    const std::pair<const char*, const char*> rows[] = {
        {"o.qt", "mov"}, {"o.3gpp", "3gp"}, {"o.3gp2", "3g2"}, {"o.oggv", "ogg"}, {"o.rmvb", "rm"}};
    for (const auto& [output, muxer] : rows) {
        FfmpegCommand command;
        ASSERT_EQ(translateArguments(words(std::string("-i in.avi -y -acodec ac3 ") + output),
                                     command),
                  "");
        EXPECT_EQ(joined(command.arguments),
                  std::string("-hide_banner -i in.avi -y -c:a ac3 -f ") + muxer + " " + output);
    }
    FfmpegCommand command;
    ASSERT_EQ(translateArguments(words("-i in.avi -y -acodec ac3 -f mov o.qt"), command), "");
    EXPECT_EQ(joined(command.arguments), "-hide_banner -i in.avi -y -c:a ac3 -f mov o.qt");
}

TEST(ArgumentTranslationLine, EncodersAndContainersThisFfmpegLacksAreRefused) {
    const char* lines[] = {
        "-i in.wav -vn -y -acodec cook -ab 96K -ar 44100 -ac 2 o.ram",
        "-i in.wav -vn -y -acodec ac3 o.RAM",
        "-i in.avi -y -vcodec h263 -acodec libopencore_amrnb -ab 6.7k -ar 8000 -ac 1 o.3gp",
    };
    for (const char* line : lines) {
        FfmpegCommand command;
        const std::string refusal = translateArguments(words(line), command);
        EXPECT_FALSE(refusal.empty()) << line;
        EXPECT_EQ(refusal.find('\n'), std::string::npos) << line;
    }
    // RealAudio itself is fine with a codec its muxer takes.
    FfmpegCommand command;
    EXPECT_EQ(translateArguments(words("-i in.wav -y -acodec ac3 o.ra"), command), "");
}

TEST(ArgumentTranslationLine, EveryChangedValueIsNamed) {
    const std::pair<const char*, const char*> rows[] = {
        {"-acodec ac3 -ar 96000 o.ac3", "ac3 cannot write 96000 Hz: wrote 48000 Hz"},
        {"-acodec libmp3lame -ac 5.1 o.mp3", "libmp3lame cannot write 6 channels: wrote 2"},
        {"-acodec mp2 -ab 640K o.mp2", "mp2 cannot write 640K: wrote 384K"},
        {"-acodec ac3 -ab 32K -ac 5.1 o.ac3", "ac3 cannot carry 6 channels in 32K: wrote 48K"},
        {"-acodec cook -ar 44100 o.ra",
         "this ffmpeg has no cook encoder: wrote RealAudio 1.0 (real_144, 8000 Hz mono)|"
         "real_144 cannot write 44100 Hz: wrote 8000 Hz"},
        {"-acodec mp2 -ab 128K -ar 44100 -ac 2 o.mp2", ""},
    };
    for (const auto& [line, expected] : rows) {
        FfmpegCommand command;
        ASSERT_EQ(translateArguments(words(std::string("-i in.wav -vn -y ") + line), command), "");
        std::string named;
        for (const std::string& adjustment : command.adjustments)
            named += (named.empty() ? "" : "|") + adjustment;
        EXPECT_EQ(named, expected) << line;
    }
}

TEST(ArgumentTranslationLine, ALineWithoutOutputFileNamesNone) {
    FfmpegCommand command;
    ASSERT_EQ(translateArguments(words("-version"), command), "");
    EXPECT_EQ(joined(command.arguments), "-hide_banner -version");
    EXPECT_EQ(command.outputPath, "");
    ASSERT_EQ(translateArguments(words("-i in.wav"), command), "");
    EXPECT_EQ(command.outputPath, "");
}

} // namespace
