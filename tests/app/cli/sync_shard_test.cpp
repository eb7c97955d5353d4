// A sharded sync's own manifests: made from the main manifest's share, gathered back whole,
// and the locks that let shards run together but never with an unsharded sync.
#include "file_shard.h"
#include "mirror_lock.h"
#include "sync_shard.h"

#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <set>

namespace {

ManifestRecord record(const std::string& source) {
    ManifestRecord r;
    r.outputPath = source + ".mp3";
    r.sourceRoot = "/Music";
    r.sourcePath = source + ".flac";
    return r;
}

std::set<std::string> outputsOf(SyncManifest* manifest) {
    std::vector<ManifestRecord> records;
    std::string error;
    EXPECT_TRUE(readRecords(manifest, &records, &error)) << error;
    std::set<std::string> outputs;
    for (const ManifestRecord& r : records)
        outputs.insert(r.outputPath);
    return outputs;
}

TEST(SyncShard, AShareStartsFromTheMainRecordsAndComesBackWhole) {
    ScratchFolder mirror;
    std::string error;
    SyncManifest* main = openManifest(mirror.path(), &error);
    ASSERT_NE(main, nullptr) << error;
    std::set<std::string> mine, others;
    for (int i = 0; i < 20; ++i) {
        const ManifestRecord r = record("A/" + std::to_string(i));
        ASSERT_TRUE(putRecord(main, r, &error)) << error;
        (recordInShare(r, 1, 2) ? mine : others).insert(r.outputPath);
    }
    ASSERT_FALSE(mine.empty());
    ASSERT_FALSE(others.empty());

    SyncManifest* share = openShareManifest(mirror.path(), 1, 2, &error);
    ASSERT_NE(share, nullptr) << error;
    EXPECT_EQ(outputsOf(share), mine);
    // The share converts a new file and forgets one of its own.
    const ManifestRecord added = [] {
        for (int i = 100;; ++i)
            if (recordInShare(record("B/" + std::to_string(i)), 1, 2))
                return record("B/" + std::to_string(i));
    }();
    ASSERT_TRUE(putRecord(share, added, &error)) << error;
    ASSERT_TRUE(removeRecord(share, *mine.begin(), &error)) << error;
    closeManifest(share);
    std::set<std::string> expected = others;
    expected.insert(mine.begin(), mine.end());
    expected.erase(*mine.begin());
    expected.insert(added.outputPath);

    // A sync in another count is refused while the share's records are out.
    EXPECT_EQ(openShareManifest(mirror.path(), 1, 3, &error), nullptr);
    EXPECT_NE(error.find("run nemarro-cli --sync without --shard once"), std::string::npos);

    EXPECT_EQ(gatherShareManifests(mirror.path(), main, &error), 1) << error;
    EXPECT_EQ(outputsOf(main), expected);
    EXPECT_FALSE(fileExists(manifestPath(mirror.path(), shareManifestName(1, 2).c_str())));
    EXPECT_EQ(gatherShareManifests(mirror.path(), main, &error), 0) << error;
    closeManifest(main);
}

TEST(SyncShard, SharesLockTogetherButNeverWithAWholeSync) {
    ScratchFolder mirror;
    std::string error;
    closeManifest(openManifest(mirror.path(), &error));
    MirrorLock* one = lockMirrorShare(mirror.path(), 1, 2, &error);
    MirrorLock* two = lockMirrorShare(mirror.path(), 2, 2, &error);
    ASSERT_NE(one, nullptr) << error;
    ASSERT_NE(two, nullptr) << error;
    EXPECT_EQ(lockMirrorShare(mirror.path(), 2, 2, &error), nullptr);
    EXPECT_NE(error.find("is keeping that share in step"), std::string::npos) << error;
    EXPECT_EQ(lockMirror(mirror.path(), &error), nullptr);
    unlockMirror(one);
    unlockMirror(two);
    MirrorLock* whole = lockMirror(mirror.path(), &error);
    EXPECT_NE(whole, nullptr) << error;
    EXPECT_EQ(lockMirrorShare(mirror.path(), 1, 2, &error), nullptr);
    unlockMirror(whole);
}

} // namespace
