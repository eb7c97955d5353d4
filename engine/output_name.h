// The one naming rule of an output file: its path composed from a folder, a base name and
// an extension; whether such a path is taken (on the disk, or claimed by a run going on at
// the same time whose file may not exist yet); and a converted tree's folder below an
// output root.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_set>

// Output paths claimed by the encoder runs of one queue that go on at once, or planned by
// its dry run. A queue of one lane never needs them; every queue has its own.
struct OutputClaims {
    std::unordered_set<std::string> paths;
};

// folder, a separator when the folder is not empty and does not end in one (an empty
// folder is the current one; a separator would make it the root), baseName and extension
// into `path` (kPathSize). Returns 0, or -1 when it does not fit (path then empty).
int composeOutputPath(char* path, const char* folder, const char* baseName, const char* extension);
// True when something exists at `path` or `claims` (may be nullptr) holds it.
bool outputPathTaken(const OutputClaims* claims, const char* path);
// Claims `path` (not empty); gives a claimed path up.
void claimOutputPath(OutputClaims* claims, const char* path);
void releaseOutputPath(OutputClaims* claims, const char* path);

// The destination folder of a file found `relativeFolder` ('/'-separated, "" at the top)
// below a given folder, when the outputs go to `outputRoot`: the root without trailing
// separators (the root of the file system stays itself), then the relative folder. An
// empty root means beside each source: the result is empty. Returns 0, or -1 when it does
// not fit (folder then empty).
int mirroredOutputFolder(char* folder /* kPathSize */, const char* outputRoot,
                         const char* relativeFolder);
