// The manifests of a sharded sync's shares: made from the main one, gathered back into it.
#include "sync_shard.h"

#include "file_shard.h"

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Share {
    int index;
    int count;
};

// The shares whose manifests lie in the mirror's hidden folder.
std::vector<Share> sharesIn(const std::string& mirror) {
    std::vector<Share> shares;
    std::error_code error;
    for (fs::directory_iterator it(fs::path(mirror) / kMirrorStateFolder, error), end;
         !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        Share share{0, 0};
        int length = 0;
        if (std::sscanf(name.c_str(), "manifest.%d-of-%d.sqlite%n", &share.index, &share.count,
                        &length) == 2 &&
            std::size_t(length) == name.size() &&
            name == shareManifestName(share.index, share.count)) {
            shares.push_back(share);
        }
    }
    return shares;
}

// Copies `from`'s records and skipped sources of the share into `to`, replacing the ones
// of the share there, in one transaction of `to`'s.
bool copyShare(SyncManifest* from, SyncManifest* to, Share share, std::string* error) {
    std::vector<ManifestRecord> records;
    std::vector<SkippedSource> skipped;
    std::vector<ManifestRecord> old;
    std::vector<SkippedSource> oldSkipped;
    if (!readRecords(from, &records, error) || !readSkipped(from, &skipped, error) ||
        !readRecords(to, &old, error) || !readSkipped(to, &oldSkipped, error) ||
        !beginChanges(to, error)) {
        return false;
    }
    bool done = true;
    for (const ManifestRecord& record : old) {
        if (done && recordInShare(record, share.index, share.count)) {
            done = removeRecord(to, record.outputPath, error);
        }
    }
    for (const SkippedSource& row : oldSkipped) {
        if (done && shardOf(row.sourcePath, share.count) == share.index) {
            done = removeSkipped(to, row.sourceRoot, row.sourcePath, error);
        }
    }
    for (const ManifestRecord& record : records) {
        if (done && recordInShare(record, share.index, share.count)) {
            done = putRecord(to, record, error);
        }
    }
    for (const SkippedSource& row : skipped) {
        if (done && shardOf(row.sourcePath, share.count) == share.index) {
            done = putSkipped(to, row, error);
        }
    }
    if (!done) {
        rollBackChanges(to);
        return false;
    }
    return commitChanges(to, error);
}

} // namespace

std::string shareManifestName(int index, int count) {
    return "manifest." + std::to_string(index) + "-of-" + std::to_string(count) + ".sqlite";
}

bool recordInShare(const ManifestRecord& record, int index, int count) {
    return shardOf(record.sourcePath, count) == index;
}

SyncManifest* openShareManifest(const std::string& mirror, int index, int count,
                                std::string* error) {
    bool made = false;
    for (const Share& share : sharesIn(mirror)) {
        if (share.count != count) {
            *error = "the mirror " + mirror + " holds the records of a sync in " +
                     std::to_string(share.count) + " shares; run nemarro-cli --sync without " +
                     "--shard once to gather them, then shard it in " + std::to_string(count);
            return nullptr;
        }
        made = made || share.index == index;
    }
    const std::string name = shareManifestName(index, count);
    if (!made) {
        // A new share's manifest is filled from the main manifest's records of the share
        // under another name and renamed when whole, so a run cut short leaves no share
        // manifest that lacks records.
        const std::string filling = name + ".new";
        SyncManifest* main = openManifest(mirror, error);
        SyncManifest* manifest =
            main != nullptr ? openManifest(mirror, error, filling.c_str()) : nullptr;
        const bool filled =
            manifest != nullptr && copyShare(main, manifest, Share{index, count}, error);
        closeManifest(manifest);
        closeManifest(main);
        std::error_code renamed;
        if (filled) {
            fs::rename(manifestPath(mirror, filling.c_str()), manifestPath(mirror, name.c_str()),
                       renamed);
        }
        if (!filled || renamed) {
            if (renamed) {
                *error =
                    "cannot make " + manifestPath(mirror, name.c_str()) + ": " + renamed.message();
            }
            std::error_code ignored;
            fs::remove(manifestPath(mirror, filling.c_str()), ignored);
            return nullptr;
        }
    }
    return openManifest(mirror, error, name.c_str());
}

int gatherShareManifests(const std::string& mirror, SyncManifest* main, std::string* error) {
    int gathered = 0;
    for (const Share& share : sharesIn(mirror)) {
        const std::string name = shareManifestName(share.index, share.count);
        SyncManifest* manifest = openManifest(mirror, error, name.c_str());
        const bool copied = manifest != nullptr && copyShare(manifest, main, share, error);
        closeManifest(manifest);
        if (!copied) {
            return -1;
        }
        std::error_code removed;
        fs::remove(manifestPath(mirror, name.c_str()), removed);
        if (removed) {
            *error =
                "cannot remove " + manifestPath(mirror, name.c_str()) + ": " + removed.message();
            return -1;
        }
        ++gathered;
    }
    return gathered;
}
