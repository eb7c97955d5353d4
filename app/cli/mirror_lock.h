// One sync at a time on a mirror: a lock held for the whole run, so a second sync never
// converts a file the first is converting, nor writes the manifest between its steps.
#pragma once

#include <string>

struct MirrorLock;

// Takes the lock of `mirror` (its hidden folder must exist: openManifest makes it).
// nullptr with `error` saying why: another process holds it (named by its process id),
// or the lock file cannot be made. The lock goes with the process however it ends.
MirrorLock* lockMirror(const std::string& mirror, std::string* error);
void unlockMirror(MirrorLock* lock);
