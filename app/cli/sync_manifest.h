// The manifest of a mirror that nemarro-cli --sync keeps in step: one record for each
// output it wrote, in an SQLite database in the hidden folder at the mirror's root. Only
// what a record names was written by us; everything else in the mirror is the user's.
#pragma once

#include "source_files.h"

#include <cstdint>
#include <string>
#include <vector>

// The hidden folder at the mirror's root that holds the manifest and the lock; no walk of
// a source goes into it, and no removal of empty folders touches it.
inline constexpr const char* kMirrorStateFolder = kMirrorFolderName;
inline constexpr char kManifestFileName[] = "manifest.sqlite";
// The layout of the tables this program reads and writes. A manifest with a higher
// version was written by a newer program and is refused, never changed.
inline constexpr int kManifestSchemaVersion = 2; // 2 added the outputs' naming

// One output and what made it. Times are modification times in nanoseconds since the
// epoch, as the file system gives them; paths below a folder are '/'-separated.
struct ManifestRecord {
    std::string outputPath; // below the mirror
    std::string sourceRoot; // the folder given on the command line, absolute
    std::string sourcePath; // below sourceRoot
    int64_t sourceSize = 0;
    int64_t sourceTime = 0;
    std::string audioFingerprint; // pb.dat's, of the source's sound packets
    std::string tagFingerprint;   // pb.dat's, of the source's tags and cover
    std::string profile;          // the profile's name
    std::string options;          // the extension and encoder options the profile gave
    std::string naming;           // the --name pattern that named the output; "" for the tree
    int64_t outputSize = 0;
    int64_t outputTime = 0;
    // While a new output replaces an old one under the same name, the old one's size and
    // time (else 0): a run killed before the rename finds that file still there and
    // knows it as ours, only out of date.
    int64_t replacedSize = 0;
    int64_t replacedTime = 0;
};

// A source the sync found to be no media with sound (a cover, a cue sheet), kept so the
// next sync need not read it again while its size and time stay.
struct SkippedSource {
    std::string sourceRoot;
    std::string sourcePath;
    int64_t sourceSize = 0;
    int64_t sourceTime = 0;
};

struct SyncManifest;

// Opens the manifest of `mirror` (an existing folder), creating the hidden folder and an
// empty manifest when there is none. nullptr with `error` saying why: it cannot be
// created or read, it is no manifest of ours, or its schema version is newer than ours.
// `fileName` (in the hidden folder) names a sharded sync's own manifest (sync_shard.h).
SyncManifest* openManifest(const std::string& mirror, std::string* error,
                           const char* fileName = kManifestFileName);
void closeManifest(SyncManifest* manifest);
// The manifest's path, for messages.
std::string manifestPath(const std::string& mirror, const char* fileName = kManifestFileName);

// Every record, ordered by output path.
bool readRecords(SyncManifest* manifest, std::vector<ManifestRecord>* records, std::string* error);

// Each change is a transaction of its own unless one was begun: then the changes up to
// commitChanges are kept together or not at all (a move drops the old record and writes
// the new one). A process that dies before the commit leaves the manifest as it was.
bool beginChanges(SyncManifest* manifest, std::string* error);
bool commitChanges(SyncManifest* manifest, std::string* error);
void rollBackChanges(SyncManifest* manifest);
// Writes the record of its output path, replacing the one there and any other record of
// the same source.
bool putRecord(SyncManifest* manifest, const ManifestRecord& record, std::string* error);
bool removeRecord(SyncManifest* manifest, const std::string& outputPath, std::string* error);

// The skipped sources, ordered by root and path; writing one replaces that of its source.
bool readSkipped(SyncManifest* manifest, std::vector<SkippedSource>* skipped, std::string* error);
bool putSkipped(SyncManifest* manifest, const SkippedSource& skipped, std::string* error);
bool removeSkipped(SyncManifest* manifest, const std::string& sourceRoot,
                   const std::string& sourcePath, std::string* error);
