// nemarro-cli as a user runs it: a small library converted with the real tools, one table
// of runs and what each leaves on the disk, and an interrupt that leaves valid files.
#include "child_program.h"
#include "program_lookup.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// `tags` are "key=value" pairs written into the file.
void makeTone(const std::string& path, int seconds, int rate = 44100,
              const std::vector<std::string>& tags = {}, int channels = 1) {
    std::string output;
    fs::create_directories(fs::path(path).parent_path());
    std::vector<std::string> argv = {findProgramOnPath("ffmpeg"),
                                     "-v",
                                     "error",
                                     "-f",
                                     "lavfi",
                                     "-i",
                                     "sine=frequency=440:sample_rate=" + std::to_string(rate) +
                                         ":duration=" + std::to_string(seconds),
                                     "-ac",
                                     std::to_string(channels)};
    for (const std::string& tag : tags)
        argv.insert(argv.end(), {"-metadata", tag});
    argv.insert(argv.end(), {"-y", path});
    ASSERT_EQ(runProgram(argv, output), 0) << output;
}

// What ffprobe says of `entries` ("format=duration"), as "value,value".
std::string probed(const std::string& path, const std::string& entries) {
    std::string output;
    if (runProgram({findProgramOnPath("ffprobe"), "-v", "error", "-show_entries", entries, "-of",
                    "csv=p=0", path},
                   output) != 0)
        return "-1";
    return output.substr(0, output.find_last_not_of("\n") + 1);
}

double durationOf(const std::string& path) {
    return std::atof(probed(path, "format=duration").c_str());
}

// Every file below `folder`, relative to it.
std::set<std::string> filesBelow(const std::string& folder) {
    std::set<std::string> files;
    if (fs::exists(folder))
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            if (entry.is_regular_file())
                files.insert(fs::relative(entry.path(), folder).generic_string());
    return files;
}

class CliTest : public testing::Test {
protected:
    // lib/A/B/one.wav, lib/A/two.wav and lib/C/two.wav with sound (mono, 44100 Hz); a
    // cover, a cue sheet, a log and an empty "wav" beside them. Outside lib, a FLAC cut in
    // half (its header promises 4 s), one with its middle third zeroed, as a failing disk
    // leaves it (the decoder skips the damage while the encoder's clock runs on), and 5.1
    // at 96000 Hz.
    static void SetUpTestSuite() {
        s_library = new ScratchFolder;
        makeTone(s_library->file("lib/A/B/one.wav"), 2);
        makeTone(s_library->file("lib/A/two.wav"), 1);
        makeTone(s_library->file("lib/C/two.wav"), 1);
        makeTone(s_library->file("nl/new\nline.wav"), 1);
        makeTone(s_library->file("tags/a.flac"), 1, 44100,
                 {"artist=AC/DC", "album=Back In Black", "title=Hells Bells", "track=1/10"});
        for (const char* name : {"tags/b.flac", "tags/c.flac"})
            makeTone(s_library->file(name), 1, 44100,
                     {"album_artist=Various", "artist=X", "album=Comp", "title=Same", "track=3"});
        writeFile(s_library->file("list.txt"), s_library->file("lib/A/two.wav") + "\n\n" +
                                                   s_library->file("lib/C/two.wav") + "\n" +
                                                   s_library->file("lib/none.wav") + "\n");
        writeFile(s_library->file("list0"), s_library->file("nl/new\nline.wav") + '\0' +
                                                s_library->file("lib/A/two.wav") + '\0');
        makeTone(s_library->file("cut/whole.flac"), 4);
        const std::string whole = readFile(s_library->file("cut/whole.flac"));
        writeFile(s_library->file("cut/half.flac"), whole.substr(0, whole.size() / 2));
        makeTone(s_library->file("cut/long.flac"), 12);
        std::string damaged = readFile(s_library->file("cut/long.flac"));
        const std::size_t third = damaged.size() / 3;
        damaged.replace(third, third, std::string(third, '\0'));
        writeFile(s_library->file("cut/damaged.flac"), damaged);
        makeTone(s_library->file("surround/six.wav"), 1, 96000, {}, 6);
        for (const char* name : {"lib/A/cover.jpg", "lib/A/album.cue", "lib/rip.log"})
            writeFile(s_library->file(name), "FILE \"one.wav\" WAVE\n");
        writeFile(s_library->file("lib/A/empty.wav"), "");
    }
    static void TearDownTestSuite() { delete s_library; }

    // `arguments` with LIB, SUITE and OUT standing for the library, the folder it is in
    // and this test's output folder.
    std::vector<std::string> placed(std::vector<std::string> arguments) const {
        for (std::string& a : arguments) {
            if (a.rfind("LIB", 0) == 0)
                a = s_library->file("lib") + a.substr(3);
            if (a.rfind("SUITE", 0) == 0)
                a = s_library->path() + a.substr(5);
            if (a.rfind("OUT", 0) == 0)
                a = out() + a.substr(3);
        }
        return arguments;
    }
    // Runs the program; its joined output lands in m_output.
    int run(const std::vector<std::string>& arguments) {
        std::vector<std::string> argv = placed(arguments);
        argv.insert(argv.begin(), CLI_PATH);
        return runProgram(argv, m_output);
    }
    // Runs it with --json, its standard output alone read by Python's JSON parser line by
    // line: each line becomes "event outcome source output" (file names; "-" for none, the
    // count converted or planned for the summary's outcome) in m_output. 99: a line that is
    // not JSON.
    int runJson(const std::vector<std::string>& arguments) {
        const char* script =
            "\"$0\" --json \"$@\" 2>/dev/null | python3 -c '\n"
            "import json, os, sys\n"
            "name = lambda p: os.path.basename(p) if p else \"-\"\n"
            "for line in sys.stdin:\n"
            "    e = json.loads(line)\n"
            "    print(e[\"event\"], e.get(\"outcome\", e.get(\"converted\", "
            "e.get(\"planned\"))),\n"
            "          name(e.get(\"source\")), name(e.get(\"output\")))\n"
            "'; s=(\"${PIPESTATUS[@]}\"); [ ${s[1]} = 0 ] || exit 99; exit ${s[0]}";
        std::vector<std::string> argv = placed(arguments);
        argv.insert(argv.begin(), {"/bin/bash", "-c", script, CLI_PATH});
        return runProgram(argv, m_output);
    }
    std::string out() const { return m_scratch.file("out"); }

    static ScratchFolder* s_library;
    ScratchFolder m_scratch;
    std::string m_output;
};
ScratchFolder* CliTest::s_library = nullptr;

struct RunCase {
    const char* name;
    std::vector<std::string> arguments;
    std::vector<std::string> existing; // in OUT before the run, holding "mine"
    int status;
    std::set<std::string> outputs; // every file in OUT afterwards
    const char* said;              // in the program's output
    const char* stream = nullptr;  // the first output's "sample rate,channels"
};

void PrintTo(const RunCase& c, std::ostream* os) {
    *os << c.name;
}

class CliRuns : public CliTest, public testing::WithParamInterface<RunCase> {};

TEST_P(CliRuns, LeaveTheFilesTheySay) {
    const RunCase& c = GetParam();
    for (const std::string& name : c.existing) {
        fs::create_directories(fs::path(out() + "/" + name).parent_path());
        writeFile(out() + "/" + name, "mine");
    }
    EXPECT_EQ(run(c.arguments), c.status) << m_output;
    EXPECT_EQ(filesBelow(out()), c.outputs) << m_output;
    EXPECT_NE(m_output.find(c.said), std::string::npos) << m_output;
    for (const std::string& name : c.existing)
        EXPECT_EQ(readFile(out() + "/" + name), "mine") << name;
    if (c.stream != nullptr) {
        EXPECT_EQ(probed(out() + "/" + *c.outputs.begin(), "stream=sample_rate,channels"),
                  c.stream);
    }
    for (const std::string& name : c.outputs) {
        if (std::find(c.existing.begin(), c.existing.end(), name) == c.existing.end()) {
            EXPECT_GT(durationOf(out() + "/" + name), 0.5) << name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Library, CliRuns,
    testing::Values(
        // Whole files pass --verify.
        RunCase{"TreeKeptNonAudioSkipped",
                {"--verify", "-o", "OUT", "LIB"},
                {},
                0,
                {"A/B/one.mp3", "A/two.mp3", "C/two.mp3"},
                "3 converted, 0 failed, 4 skipped"},
        RunCase{"TakenNameGetsCounter",
                {"-j", "1", "-o", "OUT", "LIB/A"},
                {"two.mp3"},
                0,
                {"B/one.mp3", "two.mp3", "two(0).mp3"},
                "2 converted"},
        // What stands at the name is no whole output (here no media at all): converted
        // again beside it. SkipExistingSkipsOnlyAWholeOutput has the skip.
        RunCase{"SkipExistingConvertsWhatIsNotWhole",
                {"--skip-existing", "-o", "OUT", "LIB/A"},
                {"two.mp3"},
                0,
                {"B/one.mp3", "two.mp3", "two(0).mp3"},
                "2 converted"},
        // A folder and a file inside it make one job; the folder keeps its tree.
        RunCase{"WalkedOnce",
                {"-o", "OUT", "LIB/A/two.wav", "LIB/A", "LIB/A/B"},
                {},
                0,
                {"B/one.mp3", "two.mp3"},
                "2 converted, 0 failed, 3 skipped"},
        // A list's paths keep their tree below the folder holding them all; a missing one
        // is named and the rest converts.
        RunCase{"FilesFromLines",
                {"--files-from", "SUITE/list.txt", "-o", "OUT"},
                {},
                1,
                {"A/two.mp3", "C/two.mp3"},
                "no such file or folder: "},
        RunCase{"FilesFromNulSeparatedKeepsANewline",
                {"--null", "--files-from", "SUITE/list0", "-o", "OUT"},
                {},
                0,
                {"nl/new\nline.mp3", "lib/A/two.mp3"},
                "2 converted"},
        // A '/' inside a tag never makes a folder; equally tagged files both stay.
        RunCase{"NamedFromTags",
                {"--name", "{albumartist}/{album}/{track:02} - {title}", "-o", "OUT", "SUITE/tags"},
                {},
                0,
                {"AC_DC/Back In Black/01 - Hells Bells.mp3", "Various/Comp/03 - Same.mp3",
                 "Various/Comp/03 - Same(0).mp3"},
                "3 converted"},
        // Untagged files take their own names and "Unknown ..." folders; two that name one
        // output both keep theirs.
        RunCase{"NamedUntaggedKeepsBoth",
                {"--name", "{albumartist}/{album}/{track:02} - {title}", "-o", "OUT",
                 "LIB/A/two.wav", "LIB/C/two.wav"},
                {},
                0,
                {"Unknown Artist/Unknown Album/00 - two.mp3",
                 "Unknown Artist/Unknown Album/00 - two(0).mp3"},
                "2 converted"},
        RunCase{"OverrideAndNumberedProfile",
                {"-p", "147", "-r", "22050", "-c", "mono", "-o", "OUT", "LIB/A/two.wav"},
                {},
                0,
                {"two.flac"},
                "1 converted",
                "22050,1"},
        // The encoder ends cleanly at half the promised length: no stop was asked, so the
        // file failed, and its part is not kept.
        RunCase{"ShortOfItsHeaderFails",
                {"-o", "OUT", "LIB/../cut/half.flac"},
                {},
                1,
                {},
                "0 converted, 1 failed"},
        // The damaged FLAC: its output plays under 8 s of the 12 the encoder's clock reached. It
        // is kept, but not converted; a verified run finds the same in the decoded sound.
        RunCase{"DamagedSourceFailsWithBothLengths",
                {"-o", "OUT", "LIB/../cut/damaged.flac"},
                {},
                1,
                {"damaged (short).mp3"},
                "damaged.flac: the output holds 00:07 of 00:12: the source may be damaged"},
        RunCase{"VerifyFailsTheDamagedFile",
                {"--verify", "-o", "OUT", "LIB/../cut/damaged.flac"},
                {},
                1,
                {"damaged (short).mp3"},
                "the output holds 00:07 of 00:12: the source may be damaged"},
        // The source's rate and channels, unless given; the codec's limits still hold.
        RunCase{"SourceRateAndChannelsKept",
                {"-o", "OUT", "LIB/A/two.wav"},
                {},
                0,
                {"two.mp3"},
                "1 converted",
                "44100,1"},
        RunCase{"GivenRateResamples",
                {"-r", "48000", "-o", "OUT", "LIB/A/two.wav"},
                {},
                0,
                {"two.mp3"},
                "1 converted",
                "48000,1"},
        RunCase{"SurroundAt96kBecomesStereoAt48k",
                {"-o", "OUT", "LIB/../surround/six.wav"},
                {},
                0,
                {"six.mp3"},
                "1 converted",
                "48000,2"},
        RunCase{"RefusedOverrideWritesNothing",
                {"-b", "999K", "-o", "OUT", "LIB"},
                {},
                2,
                {},
                "it takes 32K, 48K, 64K, 96K, 112K, 128K"},
        RunCase{"ShardOutOfRange", {"--shard", "4/3", "-o", "OUT", "LIB"}, {}, 2, {}, "K/N"},
        RunCase{"UnknownProfile", {"-p", "Nothing", "-o", "OUT", "LIB"}, {}, 2, {}, "no profile"},
        RunCase{"MissingSource", {"-o", "OUT", "LIB/none.wav"}, {}, 2, {}, "no such file"},
        RunCase{"SyncWithoutAMirror", {"--sync", "LIB"}, {}, 2, {}, "--sync needs the mirror"},
        RunCase{"SyncWithSkipExisting", {"--sync", "--skip-existing", "-o", "OUT", "LIB"}, {}, 2, {},
                "--skip-existing has no place"},
        RunCase{"DryRunWritesNothing", {"-n", "-o", "OUT", "LIB"}, {}, 0, {}, "would write"},
        // This ffmpeg has no AMR-NB encoder: the reason comes from the encoder's own line.
        RunCase{"FailureWithReason",
                {"-p", "57", "-o", "OUT", "LIB/A/two.wav"},
                {},
                1,
                {},
                "Failed:\n"}),
    [](const testing::TestParamInfo<RunCase>& param) { return std::string(param.param.name); });

std::multiset<std::string> linesOf(const std::string& text) {
    std::multiset<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.insert(text.substr(start, end - start));
    return lines;
}

// Standard output carries JSON lines alone: one per file as it ends, then the summary.
TEST_F(CliTest, JsonLinesParseOneByOne) {
    EXPECT_EQ(runJson({"-j", "2", "-o", "OUT", "LIB"}), 0) << m_output;
    EXPECT_EQ(linesOf(m_output),
              (std::multiset<std::string>{
                  "file converted one.wav one.mp3", "file converted two.wav two.mp3",
                  "file converted two.wav two.mp3", "file skipped cover.jpg -",
                  "file skipped album.cue -", "file skipped rip.log -", "file skipped empty.wav -",
                  "summary 3 - -"}));
}

// Three shards' dry runs plan every file of the whole run once between them.
TEST_F(CliTest, ShardsPartitionTheFiles) {
    ASSERT_EQ(runJson({"-n", "-o", "OUT", "LIB", "SUITE/nl"}), 0) << m_output;
    std::multiset<std::string> whole = linesOf(m_output);
    whole.erase(whole.find("summary 4 - -"));
    std::multiset<std::string> shards;
    for (const char* shard : {"1/3", "2/3", "3/3"}) {
        ASSERT_EQ(runJson({"-n", "--shard", shard, "-o", "OUT", "LIB", "SUITE/nl"}), 0);
        for (const std::string& line : linesOf(m_output))
            if (line.rfind("summary", 0) != 0)
                shards.insert(line);
            else
                EXPECT_NE(line, "summary 4 - -") << "one shard took every file";
    }
    EXPECT_EQ(shards, whole);
    EXPECT_TRUE(filesBelow(out()).empty());
}

// Three shards synced at once under GNU parallel over one mirror: every output is there
// once and whole, and a whole sync afterwards finds nothing to do. Named from tags, the two
// untagged two.wav (in two shares) name one output, and both keep one.
TEST_F(CliTest, ThreeShardsAtOnceUnderGnuParallel) {
    const std::string cli = CLI_PATH;
    const struct {
        std::vector<std::string> naming;
        std::map<std::string, double> outputs; // and their lengths
    } runs[] = {
        {{}, {{"A/B/one.mp3", 2.0}, {"A/two.mp3", 1.0}, {"C/two.mp3", 1.0}}},
        {{"--name", "{title}"}, {{"one.mp3", 2.0}, {"two.mp3", 1.0}, {"two(0).mp3", 1.0}}},
    };
    for (const auto& r : runs) {
        SCOPED_TRACE(r.naming.empty() ? "the tree" : "named");
        fs::remove_all(out());
        std::vector<std::string> argv = {findProgramOnPath("parallel"),
                                         "--will-cite",
                                         "-j",
                                         "3",
                                         cli,
                                         "--sync",
                                         "--shard",
                                         "{}/3",
                                         "-j",
                                         "1",
                                         "-o",
                                         out()};
        argv.insert(argv.end(), r.naming.begin(), r.naming.end());
        argv.insert(argv.end(), {s_library->file("lib"), ":::", "1", "2", "3"});
        ASSERT_EQ(runProgram(argv, m_output), 0) << m_output;
        std::map<std::string, double> outputs;
        for (const std::string& name : filesBelow(out()))
            if (name.rfind(".nemarro/", 0) != 0)
                outputs[name] = std::round(durationOf(out() + "/" + name) * 10) / 10;
        EXPECT_EQ(outputs, r.outputs) << m_output;
        std::vector<std::string> whole = {"--sync", "-o", "OUT", "LIB"};
        whole.insert(whole.begin(), r.naming.begin(), r.naming.end());
        EXPECT_EQ(run(whole), 0) << m_output;
        EXPECT_NE(
            m_output.find("0 converted, 0 re-tagged, 0 moved, 0 removed, 3 unchanged, 0 failed"),
            std::string::npos)
            << m_output;
    }
}

// Ctrl+C twice while two long files convert: each encoder finishes what it has written, the
// outputs are valid and shorter, and the program says so and ends with 130.
TEST_F(CliTest, InterruptLeavesValidShorterFiles) {
    const std::string source = m_scratch.file("long/a.wav");
    makeTone(source, 1200, 8000);
    fs::copy_file(source, m_scratch.file("long/b.wav"));
    fs::copy_file(source, m_scratch.file("long/c.wav"));
    ChildProgram cli;
    ASSERT_TRUE(cli.start({CLI_PATH, "-j", "2", "-o", out(), m_scratch.file("long")}));
    // Both encoders write, each under its temporary name.
    const auto writing = [this] {
        int parts = 0;
        for (const std::string& name : filesBelow(out()))
            parts += name.rfind(".nemarro-part-", 0) == 0 && fs::file_size(out() + "/" + name) > 0;
        return parts;
    };
    for (int i = 0; i < 400 && writing() < 2; ++i)
        usleep(10000);
    cli.sendSignal(SIGINT);
    cli.sendSignal(SIGINT);
    EXPECT_EQ(cli.finish(), 130) << cli.output();
    EXPECT_NE(cli.output().find("2 stopped early"), std::string::npos) << cli.output();
    // The shorter files keep a name no later run takes for a whole output.
    EXPECT_EQ(filesBelow(out()), (std::set<std::string>{"a (stopped).mp3", "b (stopped).mp3"}));
    for (const char* name : {"a (stopped).mp3", "b (stopped).mp3"}) {
        const double seconds = durationOf(out() + "/" + name);
        EXPECT_GT(seconds, 0.0) << name;
        EXPECT_LT(seconds, 1100.0) << name;
    }
    ASSERT_EQ(run({"-n", "--skip-existing", "-o", "OUT", m_scratch.file("long")}), 0) << m_output;
    EXPECT_EQ(m_output.find("its output exists"), std::string::npos) << m_output;

    // kill -9 leaves nothing under a final name, and the next run into the folder clears
    // the dead run's part (once its orphaned encoder has finished it).
    ChildProgram killed;
    ASSERT_TRUE(killed.start({CLI_PATH, "-o", out(), m_scratch.file("long/c.wav")}));
    for (int i = 0; i < 400 && writing() < 1; ++i)
        usleep(10000);
    killed.sendSignal(SIGKILL);
    EXPECT_EQ(killed.finish(), 128 + SIGKILL);
    sleep(2);
    ASSERT_EQ(run({"-o", "OUT", "LIB/A/two.wav"}), 0) << m_output;
    EXPECT_EQ(filesBelow(out()), (std::set<std::string>{"a (stopped).mp3", "b (stopped).mp3", "two.mp3"}));
}

// --skip-existing skips a file only when its output is whole: one cut short is converted
// again beside it, with a counter.
TEST_F(CliTest, SkipExistingSkipsOnlyAWholeOutput) {
    ASSERT_EQ(run({"-o", "OUT", "LIB/A/two.wav"}), 0) << m_output;
    ASSERT_EQ(run({"--skip-existing", "-o", "OUT", "LIB/A/two.wav"}), 0) << m_output;
    EXPECT_NE(m_output.find("its output exists"), std::string::npos) << m_output;
    std::string cut;
    ASSERT_EQ(runProgram({findProgramOnPath("ffmpeg"), "-v", "error", "-i", out() + "/two.mp3",
                          "-t", "0.4", "-c", "copy", "-y", out() + "/cut.mp3"},
                         cut),
              0)
        << cut;
    fs::rename(out() + "/cut.mp3", out() + "/two.mp3");
    ASSERT_EQ(run({"--skip-existing", "-o", "OUT", "LIB/A/two.wav"}), 0) << m_output;
    EXPECT_EQ(filesBelow(out()), (std::set<std::string>{"two.mp3", "two(0).mp3"}));
    EXPECT_GT(durationOf(out() + "/two(0).mp3"), 0.9);
}

} // namespace
