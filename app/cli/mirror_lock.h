// One sync at a time on a mirror: a lock held for the whole run, so a second sync never
// converts a file the first is converting, nor writes the manifest between its steps.
#pragma once

#include <string>

struct MirrorLock;

// Takes the lock of `mirror` (its hidden folder must exist: openManifest makes it).
// nullptr with `error` saying why: another process holds it (named by its process id),
// or the lock file cannot be made. The lock goes with the process however it ends.
MirrorLock* lockMirror(const std::string& mirror, std::string* error);
// The lock of one share of a sharded sync: the mirror's lock held shared (shards of one
// mirror run together; an unsharded sync waits for all) and the share's own held alone
// (one process per share). nullptr with `error` as lockMirror's.
MirrorLock* lockMirrorShare(const std::string& mirror, int index, int count, std::string* error);
void unlockMirror(MirrorLock* lock);
