// The encoder's command line: option parts, range parts, output folder and free names,
// the whole line byte for byte, and refusal of what cannot be carried whole.
#include "encoder_command_line.h"

#include "catalogue.h"
#include "command_line_split.h"
#include "fake_support.h"
#include "output_name.h"
#include "path_exists.h"
#include "path_separator.h"
#include "test_profiles.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {
std::string audioArgs(const ConversionProfile& profile) {
    char args[kArgsSize] = "stale";
    EXPECT_EQ(buildAudioArgs(selectedAudioCodec(profile), args), kBuildDone);
    return args;
}

TEST(AudioArgs, OptionsInOrderAndAutoLeftOut) {
    EXPECT_EQ(audioArgs(mp3Profile()), "-acodec libmp3lame -ab 128K -ar 48000 -ac 2 ");
    EXPECT_EQ(audioArgs(audioProfile("flac", "Auto\0", 0, "Auto\0", 0, "Auto\0", 0, ".flac\0")),
              "-acodec flac ");
    // Only the exact "Auto" is left out.
    EXPECT_EQ(audioArgs(audioProfile("mp2", "auto\0", 0, "Auto\0", 0, "Mono\0", 0, ".mp2\0")),
              "-acodec mp2 -ab auto -ac 1 ");
}

TEST(AudioArgs, ChannelEntriesMapByteForByte) {
    const struct {
        const char* channels;
        const char* args;
    } cases[] = {{"5.1\0", "-acodec ac3 -ac 5.1 "},
                 {"Stereo\0", "-acodec ac3 -ac 2 "},
                 {"stereo\0", "-acodec ac3 "},
                 {"Quad\0", "-acodec ac3 "}};
    for (const auto& c : cases) {
        EXPECT_EQ(audioArgs(audioProfile("ac3", "Auto\0", 0, "Auto\0", 0, c.channels, 0, ".ac3\0")),
                  c.args);
    }
}

TEST(AudioArgs, ASelectionNamingNoEntryIsRefused) {
    ConversionProfile profile = mp3Profile();
    profile.audioCodecs[0].sampleRateIndex = 9;
    char args[kArgsSize];
    EXPECT_EQ(buildAudioArgs(selectedAudioCodec(profile), args), kBuildRefused);
    EXPECT_STREQ(args, "");
}

TEST(VideoArgs, OptionsInOrderAndAutoLeftOut) {
    char args[kArgsSize];
    ConversionProfile all = videoProfile("mpeg4", "320x240\0", "768K\0", "25\0", "4:3\0");
    ASSERT_EQ(buildVideoArgs(selectedVideoCodec(all), args), kBuildDone);
    EXPECT_STREQ(args, "-vcodec mpeg4 -s 320x240 -b 768K -r 25 -aspect 4:3 ");
    ConversionProfile none =
        videoProfile("dvvideo -target pal-dv", "Auto\0", "Auto\0", "Auto\0", "Auto\0");
    ASSERT_EQ(buildVideoArgs(selectedVideoCodec(none), args), kBuildDone);
    EXPECT_STREQ(args, "-vcodec dvvideo -target pal-dv ");
}

class CommandLineTest : public testing::Test {
protected:
    ConversionJob* job(const std::string& source, double duration = 100.0) {
        m_job = createJob(source.c_str(), duration, &m_profile);
        return m_job;
    }
    ~CommandLineTest() override { releaseJob(m_job); }

    void copyDestination(const std::string& folder) {
        ASSERT_EQ(setJobDestination(m_job, folder.c_str()), 0);
    }

    std::string line(const char* program = "/App/cv.dat") {
        char text[kCommandLineSize] = "";
        EXPECT_EQ(buildEncoderCommandLine(program, m_job, text), kBuildDone);
        return text;
    }

    int refusal(const char* program = "/App/cv.dat") {
        char text[kCommandLineSize] = "untouched";
        int result = buildEncoderCommandLine(program, m_job, text);
        EXPECT_STREQ(text, "untouched");
        return result;
    }

    ConversionProfile m_profile = mp3Profile();
    ConversionJob* m_job = nullptr;
    ScratchFolder m_temp;
};

TEST_F(CommandLineTest, WorkedExampleByteForByte) {
    job("/In/song.wma");
    EXPECT_EQ(line(), "\"/App/cv.dat\" -i \"/In/song.wma\"  -vn -y -acodec libmp3lame -ab 128K "
                      "-ar 48000 -ac 2 \"/In/song.mp3\"");
    EXPECT_STREQ(m_job->outputBaseName, "song");
}

TEST_F(CommandLineTest, WorkedExampleWithTheCatalogueProfile) {
    ConversionProfile* mp3 = findProfile(kGeneralAudioCategory, "MP3 - MPEG Layer-3 Audio");
    ASSERT_NE(mp3, nullptr);
    job("/In/song.wma")->profile = mp3;
    EXPECT_EQ(line(), "\"/App/cv.dat\" -i \"/In/song.wma\"  -vn -y -acodec libmp3lame -ab 128K "
                      "-ar 48000 -ac 2 \"/In/song.mp3\"");
}

TEST(RetagCommandLine, CopiesTheSoundOfTheFirstInputWithTheTagsOfTheSecond) {
    char line[kCommandLineSize] = "untouched";
    ASSERT_EQ(buildRetagCommandLine("/App/cv.dat", "/M/a b.mp3", "/In/a b.flac", "/M/.a.part.mp3", line),
              kBuildDone);
    EXPECT_STREQ(line, "\"/App/cv.dat\" -i \"/M/a b.mp3\" -i \"/In/a b.flac\"  -vn -y -acodec copy "
                       "\"/M/.a.part.mp3\"");
    const std::string tooLong(kCommandLineSize, 'x');
    EXPECT_EQ(buildRetagCommandLine("/App/cv.dat", tooLong.c_str(), "/In/a.flac", "/M/a.mp3", line),
              kBuildRefused);
    EXPECT_STREQ(line, "\"/App/cv.dat\" -i \"/M/a b.mp3\" -i \"/In/a b.flac\"  -vn -y -acodec copy "
                       "\"/M/.a.part.mp3\"");
}

TEST_F(CommandLineTest, NoJobGivesMinusOneAndLeavesTheLine) {
    EXPECT_EQ(refusal(), kBuildNoJob);
}

TEST_F(CommandLineTest, RangeOptionsFollowTrimStartAndTrimEnd) {
    job("/In/song.wma", 100.0);
    m_job->trimStart = 10.0;
    m_job->trimEnd = 40.0;
    EXPECT_EQ(line(), "\"/App/cv.dat\"  -ss 10.000000 -i \"/In/song.wma\"  -t 30.000000  -vn -y "
                      "-acodec libmp3lame -ab 128K -ar 48000 -ac 2 \"/In/song.mp3\"");
    m_job->trimEnd = 100.0; // at the duration: no length option, whatever the start
    EXPECT_EQ(line(), "\"/App/cv.dat\"  -ss 10.000000 -i \"/In/song.wma\"  -vn -y "
                      "-acodec libmp3lame -ab 128K -ar 48000 -ac 2 \"/In/song.mp3\"");
    // A range that ends before it starts names nothing to convert.
    m_job->trimEnd = 5.0;
    EXPECT_EQ(refusal(), kBuildRefused);
}

TEST_F(CommandLineTest, VideoProfileHasVideoPartAndNoVn) {
    m_profile = videoProfile("mpeg1video", "Auto\0", "1000K\0", "Auto\0", "Auto\0");
    job("/In/clip.avi");
    EXPECT_EQ(line(), "\"/App/cv.dat\" -i \"/In/clip.avi\" -y -vcodec mpeg1video -b 1000K "
                      "-acodec mp2 -ab 128K \"/In/clip.mpg\"");
}

TEST_F(CommandLineTest, DestinationFolderGetsOneSeparatorMore) {
    job("/In/song.wma");
    std::string folder = m_temp.path();
    copyDestination(folder);
    char out[kPathSize];
    ASSERT_EQ(outputFolder(*m_job, out), kBuildDone);
    EXPECT_EQ(std::string(out), folder + NEMARRO_PATH_SEPARATOR);
    copyDestination("/");
    ASSERT_EQ(outputFolder(*m_job, out), kBuildDone);
    EXPECT_STREQ(out, "/" NEMARRO_PATH_SEPARATOR);
    copyDestination("");
    ASSERT_EQ(outputFolder(*m_job, out), kBuildDone);
    EXPECT_STREQ(out, "/In/");
}

TEST(MirroredOutputFolder, DropsTheRootsTrailingSeparatorsAndAddsTheFolderBelow) {
    char folder[kPathSize];
    const char* const cases[][3] = {{"out/", "", "out"},
                                    {"out//", "A/B", "out" NEMARRO_PATH_SEPARATOR "A/B"},
                                    {"/", "A", "/A"},
                                    {"", "A", ""},
                                    {"out", "A", "out" NEMARRO_PATH_SEPARATOR "A"}};
    for (const auto& c : cases) {
        ASSERT_EQ(mirroredOutputFolder(folder, c[0], c[1]), 0);
        EXPECT_EQ(std::string(folder), c[2]) << c[0] << " + " << c[1];
    }
}

TEST_F(CommandLineTest, TakenNamesGetTheFirstFreeCounterFromZero) {
    job(m_temp.file("song.wma"));
    writeFile(m_temp.file("song.mp3"), "");
    writeFile(m_temp.file("song(0).mp3"), "");
    EXPECT_EQ(line(), "\"/App/cv.dat\" -i \"" + m_temp.file("song.wma") +
                          "\"  -vn -y -acodec libmp3lame -ab 128K -ar 48000 -ac 2 \"" +
                          m_temp.file("song(1).mp3") + "\"");
    EXPECT_STREQ(m_job->outputBaseName, "song(1)");
    // A folder counts as taken too, and nothing was created by building.
    std::filesystem::create_directory(m_temp.file("song(1).mp3"));
    line();
    EXPECT_STREQ(m_job->outputBaseName, "song(2)");
    EXPECT_FALSE(pathExists(m_temp.file("song(2).mp3").c_str()));
}

TEST(CatalogueCommandLines, EveryProfileAtItsStartSelectionBuildsALine) {
    int profiles = 0;
    for (ProfileCategory& category : g_categories) {
        for (int i = 0; i < category.profileCount; ++i) {
            ConversionProfile* profile = category.profiles[i];
            ConversionJob* job = createJob("/In/song.wma", 60.0, profile);
            ASSERT_NE(job, nullptr);
            char line[kCommandLineSize];
            EXPECT_EQ(buildEncoderCommandLine("/App/cv.dat", job, line), kBuildDone)
                << category.name << " / " << profile->name;
            EXPECT_EQ(std::string(line).find(" -vn ") != std::string::npos, !hasVideo(*profile))
                << profile->name;
            releaseJob(job);
            ++profiles;
        }
    }
    EXPECT_EQ(profiles, 147);
}

TEST(UniqueOutputName, AddsTheMissingSeparatorAndCountsWithoutLimit) {
    ScratchFolder temp;
    for (int i = 0; i < 12; ++i) {
        writeFile(temp.file("a(" + std::to_string(i) + ").wav"), "");
    }
    writeFile(temp.file("a.wav"), "");
    char baseName[kPathSize] = "a";
    char folder[kPathSize];
    std::snprintf(folder, sizeof folder, "%s", temp.path().c_str());
    ASSERT_EQ(uniqueOutputName(baseName, folder, ".wav"), kBuildDone);
    EXPECT_EQ(std::string(folder), temp.path() + NEMARRO_PATH_SEPARATOR);
    EXPECT_STREQ(baseName, "a(12)");

    // Names claimed by the runs of one queue going on at once (or planned by its dry run
    // over a library, so many more than the lanes) are taken too, until given up; another
    // queue's claims are not.
    OutputClaims claims;
    std::vector<std::string> claimed;
    for (int i = 12; i < 112; ++i) {
        claimed.push_back(std::string(folder) + "a(" + std::to_string(i) + ").wav");
        claimOutputPath(&claims, claimed.back().c_str());
    }
    std::snprintf(baseName, sizeof baseName, "a");
    ASSERT_EQ(uniqueOutputName(baseName, folder, ".wav", &claims), kBuildDone);
    EXPECT_STREQ(baseName, "a(112)");
    std::snprintf(baseName, sizeof baseName, "a");
    ASSERT_EQ(uniqueOutputName(baseName, folder, ".wav"), kBuildDone);
    EXPECT_STREQ(baseName, "a(12)");
    for (const std::string& path : claimed) {
        releaseOutputPath(&claims, path.c_str());
    }
    std::snprintf(baseName, sizeof baseName, "a");
    ASSERT_EQ(uniqueOutputName(baseName, folder, ".wav", &claims), kBuildDone);
    EXPECT_STREQ(baseName, "a(12)");
}

TEST_F(CommandLineTest, PathsThatWouldNotFitAreRefusedNeverCut) {
    // The source fits its field but the output path would not: the destination is long.
    job("/In/song.wma");
    copyDestination("/" + std::string(kPathSize - 8, 'd'));
    EXPECT_EQ(refusal(), kBuildRefused);

    // The output path fits exactly without a counter, but song(0) would not; the
    // existing file must not be named by a cut path.
    const std::size_t baseSize = 40;
    std::string folder = makeDeepFolder(m_temp.path(), kPathSize - 1 - 1 - baseSize - 4, "g");
    ASSERT_FALSE(folder.empty());
    std::string base(baseSize, 's');
    releaseJob(m_job);
    m_profile = audioProfile("pcm_s16le", "Auto\0", 0, "Auto\0", 0, "Auto\0", 0, ".wav\0");
    job(folder + "/" + base + ".wv");
    ASSERT_NE(m_job, nullptr);
    char path[kPathSize];
    ASSERT_EQ(buildOutputPath(m_job, path), kBuildDone);
    EXPECT_EQ(std::string(path).size(), kPathSize - 1);
    writeFile(path, "precious");
    EXPECT_EQ(buildOutputPath(m_job, path), kBuildRefused);
    EXPECT_STREQ(path, "");
    EXPECT_EQ(readFile(folder + "/" + base + ".wav"), "precious");

    // The longest program path, source and output path: where the line is sized for
    // them it composes, else (Windows) it is refused.
    releaseJob(m_job);
    job("/In/" + std::string(kPathSize - 9, 'x') + ".wma");
    std::string program = "/App/" + std::string(kPathSize - 13, 'p') + "/cv.dat";
    char text[kCommandLineSize];
    EXPECT_EQ(buildEncoderCommandLine(program.c_str(), m_job, text),
              kCommandLineSize > 3 * kPathSize ? kBuildDone : kBuildRefused);
}

// Any name Linux allows reaches the encoder whole: split back, the line gives the very
// paths; Windows names cannot hold a double quote, and there such a path is refused.
TEST_F(CommandLineTest, PathsWithADoubleQuoteOrABackslashReachTheEncoderWhole) {
    job("/In/The 12\" Mix\\.wma");
    copyDestination("/Out \\\" -f \"x\\");
    if (!commandLineCanCarry("\"")) {
        EXPECT_EQ(refusal(), kBuildRefused);
        EXPECT_EQ(refusal("/A\"pp/cv.dat"), kBuildRefused);
        return;
    }
    std::vector<std::string> arguments;
    ASSERT_EQ(splitCommandLine(line("/A\"pp\\/cv.dat").c_str(), &arguments), 0);
    EXPECT_EQ(arguments, (std::vector<std::string>{
                             "/A\"pp\\/cv.dat", "-i", "/In/The 12\" Mix\\.wma", "-vn", "-y",
                             "-acodec", "libmp3lame", "-ab", "128K", "-ar", "48000", "-ac", "2",
                             "/Out \\\" -f \"x\\/The 12\" Mix\\.mp3"}));
}
} // namespace

// The toolkit sets the process locale from the environment; every fixed-format text must
// keep its decimal point under a decimal-comma locale all the same.
TEST_F(CommandLineTest, FixedFormatTextsKeepTheirPointUnderACommaLocale) {
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "de_DE.UTF-8 is not installed (scripts/setup generates it)";
    }
    job("/In/song.wma", 500.0);
    m_job->trimStart = 1.5;
    m_job->trimEnd = 201.75;
    refreshJobRow(nullptr, m_job, &m_profile);
    char clock[kClockTextSize];
    formatClock(3725.5, clock);
    wchar_t wideClock[kClockTextSize];
    formatClock(3725.5, wideClock);
    const std::string commandLine = line();
    std::setlocale(LC_ALL, "C");

    EXPECT_NE(commandLine.find(" -ss 1.500000 "), std::string::npos) << commandLine;
    EXPECT_NE(commandLine.find(" -t 200.250000 "), std::string::npos) << commandLine;
    EXPECT_STREQ(m_job->durationText, "00:08:20.00");
    EXPECT_STREQ(m_job->sizeText, "3.1MB");
    EXPECT_STREQ(clock, "01:02:05.50");
    EXPECT_STREQ(wideClock, L"01:02:05.50");
}
