// Judging a sync's sources: one row per situation a mirror meets, each with the manifest's
// records, the files in the mirror and what the walk and the probes found.
#include "sync_plan.h"

#include <gtest/gtest.h>

#include <map>

namespace {

constexpr char kOptions[] = ".mp3 -acodec libmp3lame -ab 192K ";

// A record of /Music/<source> written to <output> (size 100, time 5), its source of size
// 10 and time 1, its sound "A" and tags "T".
ManifestRecord written(const std::string& source, const std::string& output) {
    ManifestRecord r;
    r.outputPath = output;
    r.sourceRoot = "/Music";
    r.sourcePath = source;
    r.sourceSize = 10;
    r.sourceTime = 1;
    r.audioFingerprint = "A";
    r.tagFingerprint = "T";
    r.options = kOptions;
    r.outputSize = 100;
    r.outputTime = 5;
    return r;
}

SyncSource walked(const std::string& path, const std::string& sound = "A",
                  const std::string& tags = "T", int64_t time = 1) {
    SyncSource s;
    s.root = "/Music";
    s.path = path;
    const std::size_t slash = path.rfind('/');
    s.outputFolder = slash == std::string::npos ? "" : path.substr(0, slash);
    const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
    s.baseName = name.substr(0, name.rfind('.'));
    s.file = {true, 10, time};
    s.probed = true;
    s.readable = !sound.empty();
    s.audioFingerprint = sound;
    s.tagFingerprint = tags;
    return s;
}

struct Expected {
    SyncStep step;
    std::string outputPath;
    std::string oldOutputPath = "";
    bool retag = false;
};

struct PlanCase {
    const char* name;
    std::vector<ManifestRecord> records;
    std::map<std::string, FileFacts> mirror; // files below the mirror
    std::vector<SyncSource> sources;
    std::vector<Expected> plan;
    std::vector<std::string> goneSources = {}; // below /Music
    SyncTarget target = {".mp3", kOptions, "", true};
};

// A source whose tags --name turns into `folder`/`name`.
SyncSource named(SyncSource source, const std::string& folder, const std::string& name) {
    source.outputFolder = folder;
    source.baseName = name;
    return source;
}

// A record written under --name pattern "P".
ManifestRecord namedRecord(const std::string& source, const std::string& output) {
    ManifestRecord r = written(source, output);
    r.naming = "P";
    return r;
}

void PrintTo(const PlanCase& c, std::ostream* os) {
    *os << c.name;
}

class SyncPlan : public testing::TestWithParam<PlanCase> {};

TEST_P(SyncPlan, JudgesEverySourceAndEveryGoneRecord) {
    const PlanCase& c = GetParam();
    MirrorFacts facts;
    facts.output = [&](const std::string& path) {
        const auto found = c.mirror.find(path);
        return found != c.mirror.end() ? found->second : FileFacts{};
    };
    facts.sourceGone = [&](const ManifestRecord& record) {
        return std::find(c.goneSources.begin(), c.goneSources.end(), record.sourcePath) !=
               c.goneSources.end();
    };
    const std::vector<SyncItem> plan = planSync(c.sources, c.records, {"/Music"}, c.target, facts);
    ASSERT_EQ(plan.size(), c.plan.size());
    for (std::size_t i = 0; i < plan.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(syncStepWord(plan[i].step), std::string(syncStepWord(c.plan[i].step)));
        EXPECT_EQ(plan[i].step, c.plan[i].step);
        EXPECT_EQ(plan[i].outputPath, c.plan[i].outputPath);
        EXPECT_EQ(plan[i].oldOutputPath, c.plan[i].oldOutputPath);
        EXPECT_EQ(plan[i].retag, c.plan[i].retag);
    }
}

const FileFacts kWritten{true, 100, 5};
const FileFacts kUsers{true, 77, 9};

INSTANTIATE_TEST_SUITE_P(
    Mirrors, SyncPlan,
    testing::Values(
        PlanCase{"first sync: names as every run gives them, a counter for the second of one name",
                 {},
                 {},
                 {walked("a/x.flac"), walked("a/x.wav", "B"), walked("y.ogg", "C")},
                 {{SyncStep::Convert, "a/x.mp3"},
                  {SyncStep::Convert, "a/x(0).mp3"},
                  {SyncStep::Convert, "y.mp3"}}},
        PlanCase{
            "nothing changed, time only, tags only, sound",
            {written("a.flac", "a.mp3"), written("b.flac", "b.mp3"), written("c.flac", "c.mp3"),
             written("d.flac", "d.mp3")},
            {{"a.mp3", kWritten}, {"b.mp3", kWritten}, {"c.mp3", kWritten}, {"d.mp3", kWritten}},
            {walked("a.flac"), walked("b.flac", "A", "T", 2), walked("c.flac", "A", "T2", 2),
             walked("d.flac", "A2", "T", 2)},
            {{SyncStep::Unchanged, "a.mp3"},
             {SyncStep::Touched, "b.mp3"},
             {SyncStep::Retag, "c.mp3"},
             {SyncStep::Replace, "d.mp3"}}},
        PlanCase{"an output gone, one the user replaced, one a killed replacement left",
                 {written("a.flac", "a.mp3"), written("b.flac", "b.mp3"),
                  [] {
                      ManifestRecord r = written("c.flac", "c.mp3");
                      r.replacedSize = 90;
                      r.replacedTime = 4;
                      return r;
                  }()},
                 {{"b.mp3", kUsers}, {"c.mp3", {true, 90, 4}}},
                 {walked("a.flac"), walked("b.flac"), walked("c.flac")},
                 {{SyncStep::Convert, "a.mp3"},
                  {SyncStep::Conflict, "b.mp3"},
                  {SyncStep::Replace, "c.mp3"}}},
        PlanCase{"moved: renamed to follow, re-tagged too when its tags changed; the rest removed",
                 {written("old/a.flac", "old/a.mp3"), written("old/b.flac", "old/b.mp3"),
                  written("old/c.flac", "old/c.mp3")},
                 {{"old/a.mp3", kWritten}, {"old/b.mp3", kWritten}, {"old/c.mp3", kWritten}},
                 {walked("new/a.flac"), walked("new/b.flac", "A", "T2"), walked("new/c.flac", "B")},
                 {{SyncStep::Move, "new/a.mp3", "old/a.mp3"},
                  {SyncStep::Move, "new/b.mp3", "old/b.mp3", true},
                  {SyncStep::Convert, "new/c.mp3"},
                  {SyncStep::Remove, "old/c.mp3"}},
                 {"old/a.flac", "old/b.flac", "old/c.flac"}},
        PlanCase{
            "gone sources: removed only while ours as written; a record of a source still there "
            "stays",
            {written("a.flac", "a.mp3"), written("b.flac", "b.mp3"), written("c.flac", "c.mp3"),
             written("d.flac", "d.mp3")},
            {{"a.mp3", kWritten}, {"b.mp3", kUsers}, {"d.mp3", kWritten}},
            {},
            {{SyncStep::Remove, "a.mp3"}, {SyncStep::Forget, "b.mp3"}, {SyncStep::Forget, "c.mp3"}},
            {"a.flac", "b.flac", "c.flac"}},
        PlanCase{"a new source meets the user's file (adopted if whole), a removed output's name, "
                 "another source's output",
                 {written("gone.flac", "x.mp3"), written("y.wav", "y.mp3")},
                 {{"a.mp3", kUsers}, {"x.mp3", kWritten}, {"y.mp3", kWritten}},
                 {walked("a.flac", "N1"), walked("x.flac", "N2"), walked("y.wav"),
                  walked("y.flac", "N3")},
                 {{SyncStep::Adopt, "a.mp3"},
                  {SyncStep::Convert, "x.mp3"},
                  {SyncStep::Unchanged, "y.mp3"},
                  {SyncStep::Convert, "y(0).mp3"},
                  {SyncStep::Remove, "x.mp3"}},
                 {"gone.flac"}},
        PlanCase{"another profile: over its own output when the name stays, else beside it and the "
                 "old removed",
                 {written("a.flac", "a.mp3"), written("b.flac", "b.ogg")},
                 {{"a.mp3", kWritten}, {"b.ogg", kWritten}},
                 {walked("a.flac"), walked("b.flac")},
                 {{SyncStep::Replace, "a.mp3"}, {SyncStep::Convert, "b.mp3", "b.ogg"}},
                 {},
                 {".mp3", ".mp3 -acodec libmp3lame -ab 320K ", "", true}},
        PlanCase{"named: an output follows its tags, keeps its counter while it fits, follows a "
                 "new pattern; two equally tagged get a counter",
                 {namedRecord("a.flac", "Band/One.mp3"), namedRecord("b.flac", "X/Same(0).mp3"),
                  written("c.flac", "c.mp3")},
                 {{"Band/One.mp3", kWritten}, {"X/Same(0).mp3", kWritten}, {"c.mp3", kWritten}},
                 {named(walked("a.flac", "A", "T2", 2), "Band2", "One"),
                  named(walked("b.flac", "A", "T2", 2), "X", "Same"),
                  named(walked("c.flac"), "Y", "C"), named(walked("d.flac", "D"), "Y", "C")},
                 {{SyncStep::Move, "Band2/One.mp3", "Band/One.mp3", true},
                  {SyncStep::Retag, "X/Same(0).mp3"},
                  {SyncStep::Move, "Y/C.mp3", "c.mp3"},
                  {SyncStep::Convert, "Y/C(0).mp3"}},
                 {},
                 {".mp3", kOptions, "P", true}},
        PlanCase{"named and sharded: a file we do not own at the name may be another share's, so "
                 "a new source takes a counter",
                 {},
                 {{"Y/C.mp3", kUsers}},
                 {named(walked("c.flac"), "Y", "C")},
                 {{SyncStep::Convert, "Y/C(0).mp3"}},
                 {},
                 {".mp3", kOptions, "P", false}},
        PlanCase{"not media any more: its output is left",
                 {written("a.flac", "a.mp3")},
                 {{"a.mp3", kWritten}},
                 {walked("a.flac", "", "", 2), walked("notes.txt", "")},
                 {{SyncStep::Unreadable, "a.mp3"}, {SyncStep::Unreadable, ""}}}));

} // namespace
