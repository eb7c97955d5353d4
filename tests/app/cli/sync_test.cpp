// nemarro-cli --sync on a small tagged library with covers, with the real tools: one table
// of what a library owner does between syncs, each row checking every file left in the
// mirror (each output whole: its length is its source's) and how often the tools ran.
#include "child_program.h"
#include "program_lookup.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string ffmpeg() {
    return findProgramOnPath("ffmpeg");
}

int quietly(const std::vector<std::string>& argv) {
    std::string output;
    const int status = runProgram(argv, output);
    EXPECT_EQ(status, 0) << output;
    return status;
}

// A tagged FLAC of `seconds` at `frequency`, with a cover picture.
void makeTrack(const std::string& path, double seconds, const std::string& title,
               int frequency = 440) {
    fs::create_directories(fs::path(path).parent_path());
    quietly({ffmpeg(),
             "-v",
             "error",
             "-f",
             "lavfi",
             "-i",
             "sine=frequency=" + std::to_string(frequency) + ":duration=" + std::to_string(seconds),
             "-f",
             "lavfi",
             "-i",
             "color=red:size=32x32:duration=1",
             "-map",
             "0:a",
             "-map",
             "1:v",
             "-frames:v",
             "1",
             "-c:v",
             "png",
             "-disposition:v",
             "attached_pic",
             "-metadata",
             "title=" + title,
             "-metadata",
             "artist=The Band",
             "-metadata",
             "album=First",
             "-y",
             path});
}

// A tag of the file as ffprobe reads it.
std::string tagOf(const std::string& path, const std::string& tag) {
    std::string output;
    runProgram({findProgramOnPath("ffprobe"), "-v", "error", "-show_entries", "format_tags=" + tag,
                "-of", "default=noprint_wrappers=1:nokey=1", path},
               output);
    return output.substr(0, output.find('\n'));
}

double durationOf(const std::string& path) {
    std::string output;
    if (runProgram({findProgramOnPath("ffprobe"), "-v", "error", "-show_entries", "format=duration",
                    "-of", "csv=p=0", path},
                   output) != 0)
        return -1;
    return std::atof(output.c_str());
}

// Every file below `folder` but the mirror's own hidden folder, relative to it.
std::set<std::string> filesBelow(const std::string& folder) {
    std::set<std::string> files;
    if (!fs::exists(folder))
        return files;
    for (auto it = fs::recursive_directory_iterator(folder);
         it != fs::recursive_directory_iterator(); ++it) {
        if (it.depth() == 0 && it->path().filename() == ".nemarro") {
            it.disable_recursion_pending();
            continue;
        }
        if (it->is_regular_file())
            files.insert(fs::relative(it->path(), folder).generic_string());
    }
    return files;
}

// The summary's six numbers: converted, re-tagged, moved, removed, unchanged, failed.
std::vector<int> summaryOf(const std::string& output) {
    std::smatch found;
    static const std::regex summary("(\\d+) converted, (\\d+) re-tagged, (\\d+) moved, (\\d+) "
                                    "removed, (\\d+) unchanged, (\\d+) failed");
    if (!std::regex_search(output, found, summary))
        return {};
    std::vector<int> numbers;
    for (std::size_t i = 1; i < found.size(); ++i)
        numbers.push_back(std::stoi(found[i]));
    return numbers;
}

// The program and its two tools in a folder of their own; the tools are the real ones,
// each call noted in a log first, so a row can tell how much media was read.
class SyncTest : public testing::Test {
public:
    void SetUp() override {
        const std::string built = fs::path(CLI_PATH).parent_path().string();
        fs::create_directories(tools());
        fs::copy_file(CLI_PATH, tools() + "/nemarro-cli");
        for (const char* tool : {"cv.dat", "pb.dat"}) {
            std::ofstream script(tools() + "/" + tool);
            script << "#!/bin/sh\necho \"$*\" >> '" << log(tool) << "'\nexec '" << built << "/"
                   << tool << "' \"$@\"\n";
            script.close();
            chmod((tools() + "/" + tool).c_str(), 0755);
        }
    }

    std::string tools() const { return m_scratch.file("tools"); }
    std::string log(const std::string& tool) const { return m_scratch.file(tool + ".log"); }
    std::string library() const { return m_scratch.file("Music"); }
    std::string mirror() const { return m_scratch.file("mp3"); }
    std::string inLibrary(const std::string& name) const { return library() + "/" + name; }
    std::string inMirror(const std::string& name) const { return mirror() + "/" + name; }

    // The tools' calls since the last look: (probes, conversions, re-tags). The serving
    // prober that checks each lane's written files belongs to the conversions.
    std::vector<int> calls() {
        std::vector<int> counts = {0, 0, 0};
        for (const char* tool : {"pb.dat", "cv.dat"}) {
            std::ifstream in(log(tool));
            for (std::string line; std::getline(in, line);) {
                if (line.find("-serve") != std::string::npos)
                    continue;
                if (std::string(tool) == "pb.dat")
                    ++counts[0];
                else
                    ++counts[line.find("-acodec copy") != std::string::npos ? 2 : 1];
            }
            fs::remove(log(tool));
        }
        return counts;
    }

    std::vector<std::string> syncArguments(const std::vector<std::string>& extra = {}) const {
        std::vector<std::string> argv = {
            tools() + "/nemarro-cli", "--sync", "-j", "2", "-o", mirror()};
        argv.insert(argv.end(), extra.begin(), extra.end());
        argv.push_back(library());
        return argv;
    }
    int sync(const std::vector<std::string>& extra = {}) {
        return runProgram(syncArguments(extra), m_output);
    }

    // Starts a sync and returns once a temporary output is being written in the mirror.
    void startSyncUntilWriting(ChildProgram* child) {
        ASSERT_TRUE(child->start(syncArguments()));
        for (int i = 0; i < 1000 && !temporaryInMirror(); ++i)
            usleep(10000);
        ASSERT_TRUE(temporaryInMirror()) << child->output();
    }
    bool temporaryInMirror() const {
        for (const std::string& file : filesBelow(mirror()))
            if (fs::path(file).filename().string().rfind(".nemarro-part-", 0) == 0)
                return true;
        return false;
    }

    // Every file in the mirror is one of `expected`, and each output there (all but the
    // user's) is whole: its length is that of the source of the same name.
    void expectMirror(const std::set<std::string>& expected,
                      const std::set<std::string>& users = {}) {
        EXPECT_EQ(filesBelow(mirror()), expected) << m_output;
        for (const std::string& file : expected) {
            if (users.count(file) != 0)
                continue;
            const std::string source =
                inLibrary(fs::path(file).replace_extension(".flac").string());
            EXPECT_NEAR(durationOf(inMirror(file)), durationOf(source), 0.1) << file;
        }
    }

    ScratchFolder m_scratch;
    std::string m_output;
};

struct SyncRow {
    const char* name;
    std::function<void(SyncTest&)> arrange; // what the owner did since the last sync
    int status;
    std::vector<int> summary; // converted, re-tagged, moved, removed, unchanged, failed
    std::vector<int> calls;   // probes, conversions, re-tags
    std::set<std::string> mirror;
    std::set<std::string> users = {}; // the user's own files among them
    std::function<void(SyncTest&)> check = nullptr;
};

TEST_F(SyncTest, AMirrorFollowsItsLibrary) {
    const std::set<std::string> first = {"Band/First/01 One.mp3", "Band/First/02 Two.mp3",
                                         "Other/Three.mp3"};
    const std::vector<SyncRow> rows = {
        {"first sync",
         [](SyncTest& t) {
             makeTrack(t.inLibrary("Band/First/01 One.flac"), 2, "One");
             makeTrack(t.inLibrary("Band/First/02 Two.flac"), 1, "Two");
             makeTrack(t.inLibrary("Other/Three.flac"), 1, "Three");
             writeFile(t.inLibrary("Band/First/cover.jpg"), "not a picture");
         },
         0,
         {3, 0, 0, 0, 0, 0},
         {4, 3, 0},
         first},
        {"nothing to do: no media read", [](SyncTest&) {}, 0, {0, 0, 0, 0, 3, 0}, {0, 0, 0}, first},
        {"touched: read, not converted",
         [](SyncTest& t) {
             fs::last_write_time(t.inLibrary("Band/First/01 One.flac"),
                                 fs::file_time_type::clock::now());
         },
         0,
         {0, 0, 0, 0, 3, 0},
         {1, 0, 0},
         first},
        {"re-tagged: the sound copied with the new tags",
         [](SyncTest& t) {
             quietly({ffmpeg(), "-v", "error", "-i", t.inLibrary("Band/First/02 Two.flac"), "-map",
                      "0", "-c", "copy", "-metadata", "title=Two (live)", "-y",
                      t.inLibrary("two.flac")});
             fs::rename(t.inLibrary("two.flac"), t.inLibrary("Band/First/02 Two.flac"));
         },
         0,
         {0, 1, 0, 0, 2, 0},
         {1, 0, 1},
         first,
         {},
         [](SyncTest& t) {
             EXPECT_EQ(tagOf(t.inMirror("Band/First/02 Two.mp3"), "title"), "Two (live)");
         }},
        {"changed sound: converted again",
         [](SyncTest& t) { makeTrack(t.inLibrary("Other/Three.flac"), 1.5, "Three", 880); },
         0,
         {1, 0, 0, 0, 2, 0},
         {1, 1, 0},
         first},
        {"moved: the output follows, its empty folder goes",
         [](SyncTest& t) {
             fs::rename(t.inLibrary("Other/Three.flac"), t.inLibrary("Band/Three.flac"));
         },
         0,
         {0, 0, 1, 0, 2, 0},
         {1, 0, 0},
         {"Band/First/01 One.mp3", "Band/First/02 Two.mp3", "Band/Three.mp3"},
         {},
         [](SyncTest& t) { EXPECT_FALSE(fs::exists(t.inMirror("Other"))); }},
        {"deleted: its output removed",
         [](SyncTest& t) { fs::remove(t.inLibrary("Band/First/01 One.flac")); },
         0,
         {0, 0, 0, 1, 2, 0},
         {0, 0, 0},
         {"Band/First/02 Two.mp3", "Band/Three.mp3"}},
        {"the user's own files: never touched, not even an output the user replaced",
         [](SyncTest& t) {
             writeFile(t.inMirror("notes.txt"), "mine");
             writeFile(t.inMirror("Band/Three.mp3"), "my own recording");
             fs::remove(t.inLibrary("Band/Three.flac"));
             writeFile(t.inMirror("Band/First/03 Four.mp3"), "mine too");
             makeTrack(t.inLibrary("Band/First/03 Four.flac"), 1, "Four");
         },
         1,
         {0, 0, 0, 0, 1, 1},
         {2, 0, 0},
         {"Band/First/02 Two.mp3", "Band/Three.mp3", "Band/First/03 Four.mp3", "notes.txt"},
         {"Band/Three.mp3", "Band/First/03 Four.mp3", "notes.txt"},
         [](SyncTest& t) {
             EXPECT_EQ(readFile(t.inMirror("Band/Three.mp3")), "my own recording");
             EXPECT_EQ(readFile(t.inMirror("Band/First/03 Four.mp3")), "mine too");
             fs::remove(t.inLibrary("Band/First/03 Four.flac"));
         }},
        {"names Linux allows",
         [](SyncTest& t) {
             makeTrack(t.inLibrary("The 12\" Mix.flac"), 1, "Mix");
             makeTrack(t.inLibrary("back\\slash\\/x.flac"), 1, "x");
         },
         0,
         {2, 0, 0, 0, 1, 0},
         {2, 2, 0},
         {"Band/First/02 Two.mp3", "Band/Three.mp3", "Band/First/03 Four.mp3", "notes.txt",
          "The 12\" Mix.mp3", "back\\slash\\/x.mp3"},
         {"Band/Three.mp3", "Band/First/03 Four.mp3", "notes.txt"}},
    };
    for (const SyncRow& row : rows) {
        SCOPED_TRACE(row.name);
        row.arrange(*this);
        calls(); // what arranging cost is not the sync's
        EXPECT_EQ(sync(), row.status) << m_output;
        EXPECT_EQ(summaryOf(m_output), row.summary) << m_output;
        EXPECT_EQ(calls(), row.calls) << m_output;
        expectMirror(row.mirror, row.users);
        if (row.check)
            row.check(*this);
    }
}

// A sync killed with SIGKILL mid-conversion leaves nothing under a final name; Ctrl+C drops
// the running temporaries and ends with 130; each time the next sync completes the mirror.
TEST_F(SyncTest, KilledOrInterruptedSyncsLeaveOnlyWholeFilesAndTheNextCompletes) {
    makeTrack(inLibrary("short.flac"), 1, "Short");
    makeTrack(inLibrary("long.flac"), 120, "Long");
    for (const bool kill : {true, false}) {
        SCOPED_TRACE(kill ? "kill -9" : "Ctrl+C");
        fs::remove_all(mirror());
        ChildProgram child;
        startSyncUntilWriting(&child);
        child.sendSignal(kill ? SIGKILL : SIGINT);
        EXPECT_EQ(child.finish(), kill ? 128 + SIGKILL : 130) << child.output();
        // An orphaned encoder finishes its temporary on its own; give it a moment.
        sleep(kill ? 2 : 0);
        for (const std::string& file : filesBelow(mirror())) {
            const std::string name = fs::path(file).filename().string();
            EXPECT_TRUE(name == "short.mp3" || (kill && name.rfind(".nemarro-part-", 0) == 0))
                << file;
        }
        EXPECT_FALSE(fs::exists(inMirror("long.mp3")));
        EXPECT_EQ(sync(), 0) << m_output;
        expectMirror({"long.mp3", "short.mp3"});
    }
}

// A second sync on a mirror that one is keeping in step says so and changes nothing; the
// first goes on undisturbed.
TEST_F(SyncTest, TwoSyncsAtOnceNeverShareAMirror) {
    makeTrack(inLibrary("long.flac"), 60, "Long");
    ChildProgram first;
    startSyncUntilWriting(&first);
    EXPECT_EQ(sync(), 1);
    EXPECT_NE(m_output.find("is busy: another nemarro-cli --sync"), std::string::npos) << m_output;
    EXPECT_EQ(first.finish(), 0) << first.output();
    expectMirror({"long.mp3"});
}

// The mirror inside the library it copies: never walked as a source, so the second sync
// has nothing to do; a mirror made by plain runs before is adopted, not converted again.
TEST_F(SyncTest, AMirrorInsideItsLibraryAndAMirrorMadeBefore) {
    makeTrack(inLibrary("a/one.flac"), 1, "One");
    makeTrack(inLibrary("two.flac"), 1, "Two");
    const std::string inside = inLibrary("mp3");
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(
            runProgram({tools() + "/nemarro-cli", "--sync", "-o", inside, library()}, m_output), 0)
            << m_output;
        EXPECT_EQ(summaryOf(m_output),
                  (std::vector<int>{i == 0 ? 2 : 0, 0, 0, 0, i == 0 ? 0 : 2, 0}))
            << m_output;
        EXPECT_EQ(filesBelow(inside), (std::set<std::string>{"a/one.mp3", "two.mp3"}));
    }
    fs::remove_all(inside);
    calls();
    ASSERT_EQ(runProgram({tools() + "/nemarro-cli", "-o", mirror(), library()}, m_output), 0)
        << m_output;
    fs::copy_file(inMirror("two.mp3"), m_scratch.file("whole two.mp3"));
    // A shorter file at a name: no copy of the whole source, so left alone.
    quietly({ffmpeg(), "-v", "error", "-i", inMirror("two.mp3"), "-t", "0.3", "-c", "copy", "-y",
             m_scratch.file("short.mp3")});
    fs::rename(m_scratch.file("short.mp3"), inMirror("two.mp3"));
    calls();
    EXPECT_EQ(sync(), 1) << m_output;
    EXPECT_EQ(summaryOf(m_output), (std::vector<int>{0, 0, 0, 0, 1, 1})) << m_output;
    EXPECT_EQ(calls()[1], 0) << m_output; // nothing encoded again
    fs::rename(m_scratch.file("whole two.mp3"), inMirror("two.mp3"));
    EXPECT_EQ(sync(), 0) << m_output;
    EXPECT_EQ(summaryOf(m_output), (std::vector<int>{0, 0, 0, 0, 2, 0})) << m_output;
    expectMirror({"a/one.mp3", "two.mp3"});
}

// A mirror named from tags, told in JSON lines (read by Python's parser, each line as
// "event outcome output", the output below the mirror; the files' lines sorted): equally tagged sources both keep an output,
// a new title moves and re-tags its output, a new pattern moves every output, and then nothing is
// read.
TEST_F(SyncTest, ANamedMirrorFollowsTheTagsInJsonLines) {
    makeTrack(inLibrary("a/one.flac"), 1, "One");
    makeTrack(inLibrary("b/same.flac"), 1, "Same", 550);
    makeTrack(inLibrary("c/same.flac"), 1, "Same", 660);
    const auto syncJson = [&](const std::string& pattern) {
        const char* script = "\"$0\" \"$@\" 2>/dev/null | python3 -c '\n"
                             "import json, sys\n"
                             "lines = []\n"
                             "for e in map(json.loads, sys.stdin):\n"
                             "    o = e.get(\"output\") or \"-\"\n"
                             "    lines.append(\"%s %s %s\" % (e[\"event\"], e.get(\"outcome\",\n"
                             "        e.get(\"unchanged\")), o.split(\"/mp3/\", 1)[-1]))\n"
                             "print(\"\\n\".join(sorted(lines[:-1]) + lines[-1:]))\n"
                             "'; s=(\"${PIPESTATUS[@]}\"); [ ${s[1]} = 0 ] || exit 99; "
                             "exit ${s[0]}";
        std::vector<std::string> argv = syncArguments({"--json", "--name", pattern});
        argv.insert(argv.begin(), {"/bin/bash", "-c", script});
        calls();
        EXPECT_EQ(runProgram(argv, m_output), 0) << m_output;
        return m_output;
    };
    EXPECT_EQ(syncJson("{artist}/{title}"), "file converted The Band/One.mp3\n"
                                            "file converted The Band/Same(0).mp3\n"
                                            "file converted The Band/Same.mp3\n"
                                            "summary 0 -\n");
    quietly({ffmpeg(), "-v", "error", "-i", inLibrary("a/one.flac"), "-map", "0", "-c", "copy",
             "-metadata", "title=Uno", "-y", inLibrary("uno.flac")});
    fs::rename(inLibrary("uno.flac"), inLibrary("a/one.flac"));
    EXPECT_EQ(syncJson("{artist}/{title}"), "file moved The Band/Uno.mp3\n"
                                            "file retagged The Band/Uno.mp3\n"
                                            "summary 2 -\n");
    EXPECT_EQ(tagOf(inMirror("The Band/Uno.mp3"), "title"), "Uno");
    EXPECT_EQ(syncJson("{album}/{title}"), "file moved First/Same(0).mp3\n"
                                           "file moved First/Same.mp3\n"
                                           "file moved First/Uno.mp3\n"
                                           "summary 0 -\n");
    EXPECT_EQ(calls(), (std::vector<int>{3, 0, 0})); // the tags read again, nothing encoded
    EXPECT_EQ(syncJson("{album}/{title}"), "summary 3 -\n");
    EXPECT_EQ(calls(), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(filesBelow(mirror()),
              (std::set<std::string>{"First/Uno.mp3", "First/Same.mp3", "First/Same(0).mp3"}));
}

// A dry run prints the plan and changes nothing, not even the manifest.
TEST_F(SyncTest, ADryRunPrintsThePlanAndChangesNothing) {
    makeTrack(inLibrary("one.flac"), 1, "One");
    EXPECT_EQ(sync({"--dry-run"}), 0) << m_output;
    EXPECT_NE(m_output.find("convert    " + inLibrary("one.flac") + " -> one.mp3"),
              std::string::npos)
        << m_output;
    EXPECT_EQ(summaryOf(m_output), (std::vector<int>{1, 0, 0, 0, 0, 0})) << m_output;
    EXPECT_FALSE(fs::exists(mirror()));
}

} // namespace
