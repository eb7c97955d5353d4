// The pure parts of nemarro-cli: the walk of the sources, the --files-from list, the shares
// of --shard, the --name pattern and the --json lines.
#include "file_list.h"
#include "file_shard.h"
#include "json_line.h"
#include "name_pattern.h"
#include "scratch_folder.h"
#include "source_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

// Each walked file as "relativeFolder|relativePath".
std::multiset<std::string> walked(const SourceWalk& walk) {
    std::multiset<std::string> files;
    for (const SourceFile& file : walk.files)
        files.insert(file.relativeFolder + "|" + file.relativePath);
    return files;
}

class SourceWalkTest : public testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"lib/a.flac", "lib/A/b.flac", "lib/A/B/c.flac", "lib/mp3/a.mp3",
                                 "lib/.nemarro/manifest", "other/d.flac"})
            put(name);
        std::error_code error; // Windows makes links only for the privileged: then none
        fs::create_directory_symlink(m_scratch.file("other"), m_scratch.file("lib/link"), error);
    }
    void put(const std::string& name) {
        fs::create_directories(fs::path(m_scratch.file(name)).parent_path());
        writeFile(m_scratch.file(name), "x");
    }
    SourceWalk walk(SourceRequest request) {
        for (auto* paths : {&request.arguments, &request.listed})
            for (std::string& path : *paths)
                path = m_scratch.file(path);
        if (!request.outputFolder.empty())
            request.outputFolder = m_scratch.file(request.outputFolder);
        SourceWalk walk;
        std::string error;
        EXPECT_TRUE(collectSourceFiles(request, &walk, &error)) << error;
        return walk;
    }
    ScratchFolder m_scratch;
};

// A folder and what lies inside it walk once, the outer folder keeping its tree; neither
// the output folder inside it, a mirror's own folder nor a folder link is entered.
TEST_F(SourceWalkTest, EveryFileOnceAndNeverTheOutput) {
    const SourceWalk both =
        walk({{"lib/A/b.flac", "lib", "lib/A", "lib/../lib"}, {"lib/A/B"}, "lib/mp3"});
    EXPECT_EQ(walked(both),
              (std::multiset<std::string>{"|a.flac", "A|A/b.flac", "A/B|A/B/c.flac"}));
    EXPECT_TRUE(both.problems.empty());
    EXPECT_EQ(both.files[0].root, m_scratch.file("lib"));
    // Given by itself, the output folder is the user's own choice.
    EXPECT_EQ(walked(walk({{"lib/mp3"}, {}, "lib/mp3"})), (std::multiset<std::string>{"|a.mp3"}));
}

// A list's paths keep the tree below the deepest folder holding them all; a listed folder
// holds itself; a missing path is named and the rest walked.
TEST_F(SourceWalkTest, ListedPathsShareOneTree) {
    const SourceWalk listed = walk({{}, {"lib/A/b.flac", "lib/A/B", "lib/none.flac"}, ""});
    EXPECT_EQ(walked(listed), (std::multiset<std::string>{"|b.flac", "B|B/c.flac"}));
    EXPECT_EQ(listed.files[0].root, m_scratch.file("lib/A"));
    ASSERT_EQ(listed.problems.size(), 1u);
    EXPECT_EQ(problemText(listed.problems[0]),
              "no such file or folder: " + m_scratch.file("lib/none.flac"));
    EXPECT_EQ(walked(walk({{}, {"lib/A/B/c.flac", "other/d.flac"}, ""})),
              (std::multiset<std::string>{"lib/A/B|lib/A/B/c.flac", "other|other/d.flac"}));
}

#ifndef _WIN32
// A folder that cannot be read is named; what can be read is walked. Root reads every
// folder, so the walk runs as nobody in a child.
TEST_F(SourceWalkTest, AnUnreadableFolderIsNamed) {
    fs::permissions(m_scratch.path(), fs::perms::all, fs::perm_options::add);
    fs::permissions(m_scratch.file("lib/A"), fs::perms::none);
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(2);
        SourceWalk result;
        std::string error;
        collectSourceFiles({{m_scratch.file("lib")}, {}, ""}, &result, &error);
        std::string said = std::to_string(result.files.size()) + " ";
        for (const SourceProblem& problem : result.problems)
            said += problemText(problem) + "\n";
        _exit(write(pipeEnds[1], said.data(), said.size()) > 0 ? 0 : 3);
    }
    close(pipeEnds[1]);
    char said[4096] = {};
    ASSERT_GT(read(pipeEnds[0], said, sizeof said - 1), 0);
    close(pipeEnds[0]);
    waitpid(child, nullptr, 0);
    fs::permissions(m_scratch.file("lib/A"), fs::perms::owner_all);
    EXPECT_STREQ(
        said,
        ("2 cannot read folder " + m_scratch.file("lib/A") + ": Permission denied\n").c_str());
}

#endif

TEST(FileListTest, SplitsAtTheSeparatorOnly) {
    EXPECT_EQ(splitFileList("a.flac\n\n b c.flac \nlast", '\n'),
              (std::vector<std::string>{"a.flac", " b c.flac ", "last"}));
    EXPECT_EQ(splitFileList(std::string_view("new\nline.flac\0\0x\0", 17), '\0'),
              (std::vector<std::string>{"new\nline.flac", "x"}));
}

// The shares are fixed by the path alone and split a library evenly.
TEST(FileShardTest, SharesAreStableAndEven) {
    EXPECT_EQ(pathHash(""), 0xcbf29ce484222325ull); // FNV-1a's published test values
    EXPECT_EQ(pathHash("a"), 0xaf63dc4c8601ec8cull);
    int counts[3] = {};
    for (int disc = 1; disc <= 30; ++disc)
        for (int track = 1; track <= 100; ++track) {
            const int share =
                shardOf("Disc " + std::to_string(disc) + "/" + std::to_string(track) + ".flac", 3);
            ASSERT_GE(share, 1);
            ASSERT_LE(share, 3);
            ++counts[share - 1];
        }
    for (int count : counts)
        EXPECT_NEAR(count, 1000, 100);
    EXPECT_EQ(shardOf("x.flac", 1), 1);
    for (int count = 2; count < 50; ++count) { // one output name, one share
        EXPECT_EQ(shardOf("A.b/song.flac", count), shardOf("A.b/song.wav", count));
        EXPECT_EQ(shardOf("A.b/song.flac", count), shardOf("A.b/song", count));
    }
    EXPECT_EQ(shardOf("A/x.flac", kMaxShards), shardOf("A/x.flac", kMaxShards));
}

struct NameCase {
    const char* pattern;
    TagValues tags;
    NameRules rules;
    const char* expected; // nullptr: the pattern is refused
};

TEST(NamePatternTest, Table) {
    const TagValues tagged{"Art", "", "Alb", "Song", "3/12", "2", "1999", "Jazz"};
    const NameCase cases[] = {
        {"{albumartist}/{album}/{track:02} - {title}", tagged, NameRules::Posix,
         "Art/Alb/03 - Song"},
        {"{disc}-{track:03} {date} {genre}", tagged, NameRules::Posix, "2-003 1999 Jazz"},
        {"{artist}/{album}/{track:02} {title}",
         {},
         NameRules::Posix,
         "Unknown Artist/Unknown Album/00 own"},
        {"{artist}/{title}",
         {"AC/DC", "", "", " .. ", "", "", "", ""},
         NameRules::Posix,
         "AC_DC/_."},
        {"{title}",
         {"", "", "", "What? A: \"b\"\t.", "", "", "", ""},
         NameRules::Windows,
         "What_ A_ _b___"},
        {"{title}", {"", "", "", "x\\y<z>", "", "", "", ""}, NameRules::Posix, "x\\y<z>"},
        {"{track:02}", {"", "", "", "", "A1", "", "", ""}, NameRules::Posix, "A1"},
        {"", {}, NameRules::Posix, nullptr},
        {"/{title}", {}, NameRules::Posix, nullptr},
        {"{album}//{title}", {}, NameRules::Posix, nullptr},
        {"../{title}", {}, NameRules::Posix, nullptr},
        {"{titel}", {}, NameRules::Posix, nullptr},
        {"{title", {}, NameRules::Posix, nullptr},
        {"{date:02}", {}, NameRules::Posix, nullptr},
    };
    for (const NameCase& c : cases) {
        NamePattern pattern;
        std::string error;
        const bool read = parseNamePattern(c.pattern, &pattern, &error);
        ASSERT_EQ(read, c.expected != nullptr) << c.pattern << ": " << error;
        if (read) {
            EXPECT_EQ(expandNamePattern(pattern, c.tags, "own", c.rules), c.expected) << c.pattern;
        }
    }
    // A title longer than a name may be is cut where a character begins, leaving room for
    // the extension and a counter.
    NamePattern title;
    std::string error;
    ASSERT_TRUE(parseNamePattern("{title}", &title, &error));
    const std::string name =
        expandNamePattern(title, {"", "", "", std::string(300, 'a') + "\xc3\xa9", "", "", "", ""},
                          "own", NameRules::Posix);
    EXPECT_EQ(name, std::string(kMaxNameBytes - 64, 'a'));
    TagValues accented;
    accented.title = "a" + std::string(200, '\xc3');
    for (std::size_t i = 2; i < accented.title.size(); i += 2)
        accented.title[i] = '\xa9';
    const std::string cut = expandNamePattern(title, accented, "own", NameRules::Posix);
    EXPECT_LE(cut.size(), kMaxNameBytes - 64);
    EXPECT_EQ(static_cast<unsigned char>(cut.back()), 0xa9u);
}

TEST(JsonLineTest, EveryStringArrivesWhole) {
    const struct {
        std::string_view text;
        const char* json;
    } cases[] = {
        {"plain/é ü.flac", "\"plain/é ü.flac\""},
        {"q\"b\\\n\t\x01\x7f", "\"q\\\"b\\\\\\n\\t\\u0001\x7f\""},
        {"latin1 \xe9.flac", "\"latin1 \\udce9.flac\""},
        {"\xc0\xaf \xed\xa0\x80 \xf4\x90\x80\x80 \xe2\x82",
         "\"\\udcc0\\udcaf \\udced\\udca0\\udc80 "
         "\\udcf4\\udc90\\udc80\\udc80 "
         "\\udce2\\udc82\""},
        {"\xf0\x9f\x8e\xb5", "\"\xf0\x9f\x8e\xb5\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(jsonString(c.text), c.json);
    JsonLine line;
    addJsonString(&line, "event", "summary");
    addJsonInteger(&line, "converted", 2);
    addJsonSeconds(&line, "seconds", 1.23456);
    addJsonSeconds(&line, "output_seconds", std::nan(""));
    EXPECT_EQ(closeJsonLine(&line),
              "{\"event\": \"summary\", \"converted\": 2, \"seconds\": 1.235, \"output_seconds\": "
              "null}\n");
}

} // namespace
