// A sharded sync (--sync --shard K/N): each share keeps a manifest of its own in the
// mirror's hidden folder, so that N processes, on one machine or on several sharing the
// mirror over a network folder, never write one database at once (SQLite's locking over
// NFS is not to be trusted). A share's manifest starts as the main manifest's records of
// its share; an unsharded sync first gathers every share's manifest back into the main
// one. Shards of one count only: a mirror holding the manifests of another count is
// refused until an unsharded sync has gathered them.
#pragma once

#include "sync_manifest.h"

#include <string>

// "manifest.K-of-N.sqlite".
std::string shareManifestName(int index, int count);
// True when the record's source (its path below its root) falls in share `index` of `count`.
bool recordInShare(const ManifestRecord& record, int index, int count);

// Opens share `index`/`count`'s manifest of `mirror`, making it from the main manifest's
// records and skipped sources of the share when there is none. The caller holds the
// share's lock (lockMirrorShare). nullptr with `error` saying why.
SyncManifest* openShareManifest(const std::string& mirror, int index, int count,
                                std::string* error);
// Moves every share's manifest into `main`: the share's records replace the main ones of
// that share in one transaction, then the share's file goes. Run again after a crash it
// does the same, so nothing is lost between the commit and the removal. The caller holds
// the mirror's own lock. Returns how many shares were gathered, or -1 with `error`.
int gatherShareManifests(const std::string& mirror, SyncManifest* main, std::string* error);
