// The sync manifest: records kept across runs, a newer or a stranger's database refused
// unchanged, changes lost whole when a process dies before their commit. (The mirror's
// lock is proven end to end: two syncs at once, and a sync after one killed.)
#include "sync_manifest.h"

#include "fake_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

ManifestRecord record(const std::string& output, const std::string& source, int64_t size = 10) {
    ManifestRecord r;
    r.outputPath = output;
    r.sourceRoot = "/Music";
    r.sourcePath = source;
    r.sourceSize = size;
    r.sourceTime = 1700000000123456789;
    r.audioFingerprint = std::string(32, 'a');
    r.tagFingerprint = std::string(32, 'b');
    r.profile = "MP3 - MPEG Layer-3 Audio";
    r.options = ".mp3 -acodec libmp3lame -ab 192K -ar 48000 -ac 2 ";
    r.outputSize = 4000;
    r.outputTime = 1700000000987654321;
    r.replacedSize = 3999;
    r.replacedTime = 1700000000000000001;
    r.naming = "{artist}/{title}";
    return r;
}

std::vector<std::string> outputsIn(const std::string& mirror) {
    std::string error;
    SyncManifest* manifest = openManifest(mirror, &error);
    EXPECT_NE(manifest, nullptr) << error;
    std::vector<ManifestRecord> records;
    std::vector<std::string> outputs;
    if (manifest != nullptr && readRecords(manifest, &records, &error)) {
        for (const ManifestRecord& r : records) {
            outputs.push_back(r.outputPath);
        }
    }
    closeManifest(manifest);
    return outputs;
}

// Runs `work` in a child process that kills itself with SIGKILL when `work` returns.
void inAChildKilledAfter(const std::function<void()>& work) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        work();
        raise(SIGKILL);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
}

TEST(SyncManifest, RecordsOutliveTheRunThatWroteThemAndEachSourceHasOne) {
    ScratchFolder mirror;
    std::string error;
    SyncManifest* manifest = openManifest(mirror.path(), &error);
    ASSERT_NE(manifest, nullptr) << error;
    EXPECT_TRUE(fileExists(mirror.file(".nemarro/manifest.sqlite")));
    ASSERT_TRUE(putRecord(manifest, record("b/two.mp3", "b/two.flac"), &error)) << error;
    ASSERT_TRUE(putRecord(manifest, record("a/one.mp3", "a/one.flac"), &error)) << error;
    // The same source under a new output name replaces its old record.
    ASSERT_TRUE(putRecord(manifest, record("a/one(0).mp3", "a/one.flac", 11), &error)) << error;
    ASSERT_TRUE(removeRecord(manifest, "b/two.mp3", &error)) << error;
    ASSERT_TRUE(removeRecord(manifest, "never/there.mp3", &error)) << error;
    ASSERT_TRUE(putSkipped(manifest, {"/Music", "a/cover.jpg", 5, 6}, &error)) << error;
    ASSERT_TRUE(putSkipped(manifest, {"/Music", "a/cover.jpg", 7, 8}, &error)) << error;
    ASSERT_TRUE(putSkipped(manifest, {"/Music", "b.cue", 1, 2}, &error)) << error;
    ASSERT_TRUE(removeSkipped(manifest, "/Music", "b.cue", &error)) << error;
    closeManifest(manifest);

    manifest = openManifest(mirror.path(), &error);
    ASSERT_NE(manifest, nullptr) << error;
    std::vector<ManifestRecord> records;
    ASSERT_TRUE(readRecords(manifest, &records, &error)) << error;
    std::vector<SkippedSource> skipped;
    ASSERT_TRUE(readSkipped(manifest, &skipped, &error)) << error;
    closeManifest(manifest);
    ASSERT_EQ(skipped.size(), 1u);
    EXPECT_EQ(skipped[0].sourcePath, "a/cover.jpg");
    EXPECT_EQ(skipped[0].sourceSize, 7);
    EXPECT_EQ(skipped[0].sourceTime, 8);
    ASSERT_EQ(records.size(), 1u);
    const ManifestRecord expected = record("a/one(0).mp3", "a/one.flac", 11);
    EXPECT_EQ(records[0].outputPath, expected.outputPath);
    EXPECT_EQ(records[0].sourceRoot, expected.sourceRoot);
    EXPECT_EQ(records[0].sourcePath, expected.sourcePath);
    EXPECT_EQ(records[0].sourceSize, 11);
    EXPECT_EQ(records[0].sourceTime, expected.sourceTime);
    EXPECT_EQ(records[0].audioFingerprint, expected.audioFingerprint);
    EXPECT_EQ(records[0].tagFingerprint, expected.tagFingerprint);
    EXPECT_EQ(records[0].profile, expected.profile);
    EXPECT_EQ(records[0].options, expected.options);
    EXPECT_EQ(records[0].outputSize, expected.outputSize);
    EXPECT_EQ(records[0].outputTime, expected.outputTime);
    EXPECT_EQ(records[0].replacedSize, expected.replacedSize);
    EXPECT_EQ(records[0].replacedTime, expected.replacedTime);
    EXPECT_EQ(records[0].naming, expected.naming);
}

// A manifest of the first version (before outputs recorded their naming) is brought up to
// this one with every record kept, each named by its source's tree.
TEST(SyncManifest, AnOlderSchemaIsUpgradedWithItsRecords) {
    ScratchFolder mirror;
    std::string error;
    SyncManifest* manifest = openManifest(mirror.path(), &error);
    ASSERT_TRUE(putRecord(manifest, record("a.mp3", "a.flac"), &error)) << error;
    closeManifest(manifest);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(manifestPath(mirror.path()).c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "ALTER TABLE outputs DROP COLUMN naming; PRAGMA user_version = 1",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    manifest = openManifest(mirror.path(), &error);
    ASSERT_NE(manifest, nullptr) << error;
    std::vector<ManifestRecord> records;
    ASSERT_TRUE(readRecords(manifest, &records, &error)) << error;
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].outputPath, "a.mp3");
    EXPECT_EQ(records[0].naming, "");
    EXPECT_TRUE(putRecord(manifest, record("b.mp3", "b.flac"), &error)) << error;
    closeManifest(manifest);
}

// A manifest from a newer program, a stranger's database and a file that is no database
// at all: each is refused with a message that says so, and left byte for byte as it was.
TEST(SyncManifest, ANewerSchemaOrAStrangersFileIsRefusedUnchanged) {
    struct Case {
        const char* name;
        const char* sql; // run on a fresh manifest; nullptr: the file is plain text
        const char* message;
    } cases[] = {
        {"newer", "PRAGMA user_version = 3",
         "has schema version 3, written by a newer nemarro-cli; "
         "this one reads version 2 only"},
        {"stranger's", "PRAGMA application_id = 7", "is no manifest of nemarro's"},
        {"no database", nullptr, "file is not a database"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder mirror;
        std::string error;
        if (c.sql != nullptr) {
            closeManifest(openManifest(mirror.path(), &error));
            sqlite3* db = nullptr;
            ASSERT_EQ(sqlite3_open(manifestPath(mirror.path()).c_str(), &db), SQLITE_OK);
            ASSERT_EQ(sqlite3_exec(db, c.sql, nullptr, nullptr, nullptr), SQLITE_OK);
            sqlite3_close(db);
        } else {
            mkdir(mirror.file(".nemarro").c_str(), 0755);
            mirror.write(".nemarro/manifest.sqlite", std::string(600, 'x'));
        }
        const std::string before = readFile(manifestPath(mirror.path()));
        EXPECT_EQ(openManifest(mirror.path(), &error), nullptr);
        EXPECT_NE(error.find(manifestPath(mirror.path())), std::string::npos) << error;
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
        EXPECT_TRUE(readFile(manifestPath(mirror.path())) == before);
    }
}

// kill -9 before a commit loses the uncommitted changes whole; kill -9 at any moment of a
// run of commits leaves a manifest that opens, passes SQLite's integrity check and holds
// every record it committed.
TEST(SyncManifest, AProcessKilledMidTransactionLeavesTheLastCommittedManifest) {
    ScratchFolder mirror;
    inAChildKilledAfter([&] {
        std::string error;
        SyncManifest* manifest = openManifest(mirror.path(), &error);
        putRecord(manifest, record("kept.mp3", "kept.flac"), &error);
        beginChanges(manifest, &error);
        removeRecord(manifest, "kept.mp3", &error);
        for (int i = 0; i < 50; ++i) {
            putRecord(manifest, record("lost" + std::to_string(i) + ".mp3", std::to_string(i)),
                      &error);
        }
    });
    EXPECT_EQ(outputsIn(mirror.path()), std::vector<std::string>{"kept.mp3"});

    const pid_t writer = fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) {
        std::string error;
        SyncManifest* manifest = openManifest(mirror.path(), &error);
        for (int i = 0;; ++i) {
            putRecord(manifest, record("n" + std::to_string(i) + ".mp3", "n" + std::to_string(i)),
                      &error);
        }
    }
    usleep(300000);
    kill(writer, SIGKILL);
    waitpid(writer, nullptr, 0);
    const std::vector<std::string> outputs = outputsIn(mirror.path());
    EXPECT_GT(outputs.size(), 1u);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(manifestPath(mirror.path()).c_str(), &db), SQLITE_OK);
    sqlite3_stmt* check = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(check), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok");
    sqlite3_finalize(check);
    sqlite3_close(db);
}

} // namespace
