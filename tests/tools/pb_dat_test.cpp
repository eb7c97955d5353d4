// pb.dat against ffprobe itself: the same files accepted and refused, with the same
// durations, over every container the catalogue writes and the odd cases; paths that
// cannot be read as files end at once. Its two checks of a written file, the recorded
// length and the full decode, over the same containers and over damaged files.
#include "catalogue.h"
#include "child_program.h"
#include "choice_list.h"
#include "program_lookup.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <sys/stat.h>

namespace {

// One "[NAME]" ... "[/NAME]" section of a probe report, its keys and values.
using Section = std::map<std::string, std::string>;

std::vector<Section> sections(const std::string& report, const std::string& name) {
    std::vector<Section> found;
    Section* open = nullptr;
    std::size_t start = 0;
    while (start < report.size()) {
        std::size_t end = report.find('\n', start);
        if (end == std::string::npos)
            end = report.size();
        const std::string line = report.substr(start, end - start);
        start = end + 1;
        if (line == "[" + name + "]") {
            open = &found.emplace_back();
        } else if (line == "[/" + name + "]") {
            open = nullptr;
        } else if (open != nullptr && line.find('=') != std::string::npos) {
            open->emplace(line.substr(0, line.find('=')), line.substr(line.find('=') + 1));
        }
    }
    return found;
}

// The key=value lines of a report outside any section.
Section keyValues(const std::string& report) {
    const std::vector<Section> all = sections("[ALL]\n" + report + "[/ALL]\n", "ALL");
    return all.empty() ? Section{} : all[0];
}

// pb.dat's length and decode of `path`, as one set of keys.
Section lengthAndDecode(const std::string& path) {
    std::string report;
    EXPECT_EQ(runProgram({PB_DAT_PATH, "-show_length", "-decode_audio", path}, report), 0) << report;
    return keyValues(report);
}

std::string ffmpeg() { return findProgramOnPath("ffmpeg"); }

struct Generated {
    std::string extension;
    std::vector<std::string> options; // between the inputs and the output
};

// How to write a one-second file for each container of the catalogue: ffmpeg's own choice
// by extension, except where that fails or needs a format of its own.
std::vector<std::string> writeOptions(const std::string& extension, bool video) {
    static const std::map<std::string, std::vector<std::string>> kSpecial = {
        {".3gp", {"-c:v", "mpeg4", "-c:a", "aac", "-ar", "22050"}},
        {".3gpp", {"-f", "3gp", "-c:v", "mpeg4", "-c:a", "aac", "-ar", "22050"}},
        {".3gp2", {"-f", "3g2", "-c:v", "mpeg4", "-c:a", "aac", "-ar", "22050"}},
        {".qt", {"-f", "mov"}},
        {".oggv", {"-f", "ogg", "-c:v", "libtheora"}},
        {".rmvb", {"-f", "rm"}},
        {".webm", {"-c:v", "libvpx", "-deadline", "realtime"}},
        {".dv", {"-s", "720x576", "-r", "25", "-pix_fmt", "yuv420p", "-ar", "48000"}},
    };
    std::vector<std::string> options = {"-ac", "2"};
    if (video && extension != ".dv")
        options.insert(options.end(), {"-s", "176x144"});
    const auto special = kSpecial.find(extension);
    if (special != kSpecial.end())
        options.insert(options.end(), special->second.begin(), special->second.end());
    return options;
}

class PbDat : public testing::Test {
protected:
    static void SetUpTestSuite() { s_folder = std::make_unique<ScratchFolder>(); }
    static void TearDownTestSuite() { s_folder.reset(); }
    static ScratchFolder& folder() { return *s_folder; }

    static std::string generate(const std::string& name, bool video, const std::string& extension) {
        std::vector<std::string> argv = {ffmpeg(), "-v", "error"};
        if (video)
            argv.insert(argv.end(), {"-f", "lavfi", "-i", "testsrc=rate=25:duration=1"});
        argv.insert(argv.end(), {"-f", "lavfi", "-i", "sine=duration=1:sample_rate=44100"});
        for (const std::string& option : writeOptions(extension, video))
            argv.push_back(option);
        argv.insert(argv.end(), {"-shortest", "-y", folder().file(name)});
        std::string output;
        EXPECT_EQ(runProgram(argv, output), 0) << name << ": " << output;
        return folder().file(name);
    }

private:
    static std::unique_ptr<ScratchFolder> s_folder;
};

std::unique_ptr<ScratchFolder> PbDat::s_folder;

// Compares pb.dat's verdict and values with ffprobe's for one path.
void expectSameAsFfprobe(const std::string& path) {
    SCOPED_TRACE(path);
    std::string direct, ours;
    const int directStatus = runProgram(
        {findProgramOnPath("ffprobe"), "-v", "quiet", "-show_format", "-show_streams", path}, direct);
    const int ourStatus = runProgram({PB_DAT_PATH, "-show_format", "-show_streams", path}, ours);
    ASSERT_EQ(ourStatus == 0, directStatus == 0) << ours;
    if (directStatus != 0) {
        EXPECT_EQ(ours.find("[FORMAT]"), std::string::npos);
        EXPECT_EQ(std::count(ours.begin(), ours.end(), '\n'), 1) << ours;
        return;
    }
    const std::vector<Section> directFormat = sections(direct, "FORMAT");
    const std::vector<Section> ourFormat = sections(ours, "FORMAT");
    ASSERT_EQ(ourFormat.size(), 1u) << ours;
    ASSERT_EQ(directFormat.size(), 1u) << direct;
    EXPECT_EQ(ourFormat[0].at("format_name"), directFormat[0].at("format_name"));
    EXPECT_NEAR(std::atof(ourFormat[0].at("duration").c_str()),
                std::atof(directFormat[0].at("duration").c_str()), 0.001);
    const std::vector<Section> directStreams = sections(direct, "STREAM");
    const std::vector<Section> ourStreams = sections(ours, "STREAM");
    ASSERT_EQ(ourStreams.size(), directStreams.size()) << ours;
    for (std::size_t i = 0; i < ourStreams.size(); ++i) {
        for (const char* key : {"index", "codec_name", "codec_type", "sample_rate", "channels",
                                "width", "height", "duration"}) {
            const auto expected = directStreams[i].find(key);
            if (expected != directStreams[i].end()) {
                ASSERT_TRUE(ourStreams[i].count(key)) << "stream " << i << " lacks " << key;
                EXPECT_EQ(ourStreams[i].at(key), expected->second) << "stream " << i << " " << key;
            }
        }
    }
}

// Every extension the catalogue writes, with whether its profiles carry video.
std::vector<std::pair<std::string, bool>> catalogueContainers() {
    std::set<std::pair<std::string, bool>> found;
    for (const ProfileCategory& category : g_categories) {
        for (int p = 0; p < category.profileCount; ++p) {
            const ConversionProfile& profile = *category.profiles[p];
            for (int e = 0; const char* extension = choiceListEntry(profile.extensions, e); ++e)
                if (std::string(extension) != ".ram") // a metafile this ffmpeg cannot write
                    found.insert({extension, profile.videoCodecCount > 0});
        }
    }
    return {found.begin(), found.end()};
}

class PbDatContainer : public PbDat, public testing::WithParamInterface<std::pair<std::string, bool>> {};

TEST_P(PbDatContainer, IsAcceptedAndMeasuredAsFfprobeDoes) {
    const auto& [extension, video] = GetParam();
    const std::string path = generate((video ? "video" : "audio") + extension, video, extension);
    expectSameAsFfprobe(path);
    // The one-second tone, whole: recorded so (also where ffprobe reads no length, as in
    // RealAudio 1.0, or only estimates one, as in ADTS) and decoded so, without an error.
    const Section found = lengthAndDecode(path);
    ASSERT_TRUE(found.count("length") && found.count("duration")) << path;
    EXPECT_NEAR(std::atof(found.at("length").c_str()), 1.0, 0.05);
    EXPECT_NEAR(std::atof(found.at("duration").c_str()), 1.0, 0.05);
    EXPECT_NEAR(std::atof(found.at("samples").c_str()) / std::atof(found.at("sample_rate").c_str()),
                std::atof(found.at("duration").c_str()), 1e-5);
    EXPECT_EQ(found.at("errors"), "0");
    EXPECT_EQ(found.count("first_error"), 0u);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, PbDatContainer, testing::ValuesIn(catalogueContainers()),
                         [](const auto& row) {
                             return (row.param.second ? "video_" : "audio_") + row.param.first.substr(1);
                         });

// Nothing, text, files cut short at various points, a missing file, a folder.
TEST_F(PbDat, OddFilesAreAcceptedOrRefusedAsFfprobeDoes) {
    const std::string mp3 = readFile(generate("odd.mp3", false, ".mp3"));
    const std::string wav = readFile(generate("odd.wav", false, ".wav"));
    const std::string ogg = readFile(generate("odd.ogg", false, ".ogg"));
    const std::string mp4 = readFile(generate("odd.mp4", true, ".mp4"));
    for (const auto& [name, content] : std::vector<std::pair<std::string, std::string>>{
             {"empty.mp3", ""},
             {"text.mp3", "This is not a sound, only a letter renamed.\n"},
             {"half.mp3", mp3.substr(0, mp3.size() / 2)},
             {"header.mp3", mp3.substr(0, 200)},
             {"half.wav", wav.substr(0, wav.size() / 2)},
             {"header.wav", wav.substr(0, 44)},
             {"half.mp4", mp4.substr(0, mp4.size() / 2)},
             {"half.ogg", ogg.substr(0, ogg.size() / 2)},
         })
        expectSameAsFfprobe(folder().write(name, content));
    expectSameAsFfprobe(folder().file("missing.wav"));
    expectSameAsFfprobe(folder().path());
}

// What the two checks tell of damage: a file cut after it was written keeps the length
// its header recorded, but decodes short; zeroed bytes in the middle decode with errors;
// a file without sound has no length and nothing to decode.
TEST_F(PbDat, DamageShowsInTheDecodeNotInTheRecordedLength) {
    std::string flac = readFile(generate("whole.flac", false, ".flac"));
    const std::string mp3 = readFile(generate("whole.mp3", false, ".mp3"));
    const Section cut = lengthAndDecode(folder().write("cut.mp3", mp3.substr(0, mp3.size() / 2)));
    EXPECT_NEAR(std::atof(cut.at("length").c_str()), 1.0, 0.05);
    EXPECT_NEAR(std::atof(cut.at("duration").c_str()), 0.5, 0.1);
    const std::size_t third = flac.size() / 3;
    flac.replace(third, third, std::string(third, '\0'));
    const Section zeroed = lengthAndDecode(folder().write("zeroed.flac", flac));
    EXPECT_GT(std::atoi(zeroed.at("errors").c_str()), 0);
    EXPECT_EQ(zeroed.at("first_error"), "Invalid data found when processing input");
    EXPECT_LT(std::atof(zeroed.at("duration").c_str()), 0.9);

    std::string report;
    const std::string picture = folder().file("still.png");
    ASSERT_EQ(runProgram({ffmpeg(), "-v", "error", "-f", "lavfi", "-i", "testsrc=s=32x32:d=1",
                          "-frames:v", "1", "-y", picture},
                         report),
              0);
    EXPECT_EQ(runProgram({PB_DAT_PATH, "-show_length", picture}, report), 0);
    EXPECT_EQ(report, "length=N/A\n");
    EXPECT_EQ(runProgram({PB_DAT_PATH, "-decode_audio", picture}, report), 1);
    EXPECT_EQ(report, "pb.dat: cannot read the file as media: Stream not found\n");
}

// Serving, it answers one request after another as its one-shot runs would (a file not
// there yet, a bad option, then the file), each answer ended by its status line; its
// caller's goodbye between requests ends it with 0, an input cut off inside one with 1.
TEST_F(PbDat, ServesRequestAfterRequestUntilItsCallerLeaves) {
    const std::string path = folder().file("later.wav");
    const auto request = [](std::initializer_list<std::string> words) {
        std::string text;
        for (const std::string& word : words)
            text += word + '\0';
        return text + '\0';
    };
    ChildProgram server;
    ASSERT_TRUE(server.start({PB_DAT_PATH, "-serve"}));
    server.writeInput(request({"-show_length", path}) + request({"-show_lengths", path}));
    ASSERT_TRUE(server.waitForOutput("unknown option; usage: ", 5.0)) << server.output();
    ASSERT_TRUE(server.waitForOutput(" -serve\n[/ANSWER status=1]\n", 5.0)) << server.output();
    EXPECT_EQ(server.output().rfind("[/ANSWER status=0]\npb.dat: cannot probe the path: No such "
                                    "file or directory\n[/ANSWER status=1]\npb.dat: ",
                                    0),
              0u)
        << server.output();
    std::rename(generate("written.wav", false, ".wav").c_str(), path.c_str());
    server.writeInput(request({"-show_length", path}));
    ASSERT_TRUE(server.waitForOutput("length=1.000000\n[/ANSWER status=0]\n", 5.0))
        << server.output();
    server.abandon(true, false);
    EXPECT_EQ(server.waitForEnd(2.0), 0);

    ChildProgram forgotten;
    ASSERT_TRUE(forgotten.start({PB_DAT_PATH, "-serve"}));
    forgotten.writeInput(request({"-decode_audio"}) + "-show_length");
    forgotten.abandon(true, false);
    EXPECT_EQ(forgotten.waitForEnd(2.0), 1); // a request cut off is no goodbye
}

// A named pipe without a writer, a device that never ends, a folder: ffprobe would wait
// on the first two forever; pb.dat refuses them all at once with one line.
TEST_F(PbDat, RefusesWhatIsNotARegularFileAtOnce) {
    const std::string fifo = folder().file("pipe.wav");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, std::string("/dev/zero"), folder().path()}) {
        const double start = secondsNow();
        std::string output;
        EXPECT_EQ(runProgram({PB_DAT_PATH, "-show_format", "-show_streams", path}, output), 1)
            << path;
        EXPECT_LT(secondsNow() - start, 2.0) << path;
        EXPECT_EQ(output.rfind("pb.dat: cannot probe the path: it is ", 0), 0u) << output;
        EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;
    }
}

// The fingerprints a copy of a library is judged by: the sound's stays when only the tags
// change (however long they grow, so the sound moves in the file) and when the file is
// copied; the tags' changes with a tag or the cover; other sound changes the first.
TEST_F(PbDat, FingerprintsTellSoundFromTagsAndTheTagsAreReportedEscaped) {
    const std::string ffmpegPath = ffmpeg();
    auto make = [&](const std::string& name, const std::vector<std::string>& inputs,
                    const std::vector<std::string>& options) {
        std::vector<std::string> argv = {ffmpegPath, "-v", "error"};
        argv.insert(argv.end(), inputs.begin(), inputs.end());
        argv.insert(argv.end(), options.begin(), options.end());
        argv.insert(argv.end(), {"-y", folder().file(name)});
        std::string output;
        EXPECT_EQ(runProgram(argv, output), 0) << name << ": " << output;
        return folder().file(name);
    };
    const std::vector<std::string> tone = {"-f", "lavfi", "-i", "sine=duration=1"};
    const std::vector<std::string> red = {"-f", "lavfi", "-i", "color=red:size=32x32:duration=1"};
    const std::vector<std::string> blue = {"-f", "lavfi", "-i", "color=blue:size=32x32:duration=1"};
    const std::vector<std::string> withCover = {"-map",           "0:a",         "-map",      "1:v",
                                                "-c:v",           "png",         "-frames:v", "1",
                                                "-disposition:v", "attached_pic"};
    auto tagged = [&](std::vector<std::string> options, const std::string& title) {
        options.insert(options.end(), {"-metadata", "title=" + title, "-metadata", "artist=A"});
        return options;
    };
    std::vector<std::string> withTone = tone;
    withTone.insert(withTone.end(), red.begin(), red.end());
    const std::string original = make("print.flac", withTone, tagged(withCover, "One"));
    const std::vector<std::string> copyAll = {"-i", original, "-map", "0", "-c", "copy"};
    const std::string copied = make("copied.flac", copyAll, {});
    const std::string retagged =
        make("retagged.flac", copyAll,
             {"-metadata", "title=" + std::string(5000, 't') + "\n[FORMAT]\\x"});
    std::vector<std::string> toneAndBlue = tone;
    toneAndBlue.insert(toneAndBlue.end(), blue.begin(), blue.end());
    const std::string recovered = make("recovered.flac", toneAndBlue, tagged(withCover, "One"));
    const std::string otherSound = make(
        "other.flac", {"-f", "lavfi", "-i", "sine=duration=1:frequency=500"}, tagged({}, "One"));

    struct Print {
        std::string audio, tags, report;
    };
    auto print = [](const std::string& path) {
        Print p;
        EXPECT_EQ(
            runProgram({PB_DAT_PATH, "-show_format", "-show_tags", "-show_fingerprints", path},
                       p.report),
            0);
        const std::vector<Section> found = sections(p.report, "FINGERPRINT");
        EXPECT_EQ(found.size(), 1u) << p.report;
        if (found.size() == 1) {
            p.audio = found[0].at("audio");
            p.tags = found[0].at("tags");
        }
        EXPECT_EQ(p.audio.size(), 32u);
        return p;
    };
    const Print first = print(original);
    EXPECT_EQ(print(copied).audio, first.audio);
    EXPECT_EQ(print(copied).tags, first.tags);
    const Print other = print(retagged);
    EXPECT_EQ(other.audio, first.audio);
    EXPECT_NE(other.tags, first.tags);
    EXPECT_EQ(print(recovered).audio, first.audio);
    EXPECT_NE(print(recovered).tags, first.tags);
    EXPECT_NE(print(otherSound).audio, first.audio);

    // The tags section: a value stays on its line, whatever it holds.
    EXPECT_EQ(sections(first.report, "TAGS"),
              (std::vector<Section>{{{"title", "One"}, {"artist", "A"}}}));
    EXPECT_NE(other.report.find("\ntitle=" + std::string(5000, 't') + "\\n[FORMAT]\\\\x\n"),
              std::string::npos);
    EXPECT_EQ(sections(other.report, "FORMAT").size(), 1u); // no line of a tag poses as one
}

} // namespace
