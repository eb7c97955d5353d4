// How a sync judges each source against the manifest: what is current, what changed only
// in its tags, what moved, what must be converted again, and which outputs of gone
// sources may be removed. Plain values in, a plan out; the sync run gathers the facts
// (sizes, times, fingerprints) and carries the plan out.
#pragma once

#include "sync_manifest.h"

struct ConversionProfile;

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// A file's size and modification time (nanoseconds since the epoch), as stat gives them.
struct FileFacts {
    bool exists = false;
    int64_t size = 0;
    int64_t time = 0;
};

// One source the walk found, and what its probe read when it was probed.
struct SyncSource {
    std::string root; // the given folder, absolute (a given file's own folder)
    std::string path; // below root, '/'-separated
    // Where its output belongs: the folder below the mirror ('/'-separated, "" at its top)
    // and the name before any counter, without extension. The source's tree and name, or
    // with --name what the pattern makes of its tags once it was probed.
    std::string outputFolder;
    std::string baseName;
    FileFacts file;
    bool probed = false;   // the fields below are meaningful
    bool readable = false; // media with a length and sound
    std::string audioFingerprint;
    std::string tagFingerprint;
};

// What the sync does for one source or one record.
enum class SyncStep {
    Unchanged,  // nothing to do, no media read
    Touched,    // only the source's time (or size) changed, not its sound or tags: the
                // record follows, the output stays
    Convert,    // a new output (or one whose last one is gone)
    Replace,    // converted again over our own output: other sound, profile or options
    Retag,      // the output's sound copied with the source's new tags and cover
    Move,       // the output renamed to follow its source (or, with --name, its tags);
                // retag too when the tags changed
    Adopt,      // an output already at the planned name, taken over when its length matches
    Remove,     // the output of a gone source, still as we wrote it
    Forget,     // the record of a gone source whose output is gone or no longer ours
    Conflict,   // a file we do not own stands where the output belongs: left alone
    Unreadable, // the source is no media with sound (any more): its output is left
};

struct SyncItem {
    SyncStep step;
    int source = -1;           // index into the sources; -1 for a record's removal
    int record = -1;           // index into the records; -1 for a new source
    std::string outputPath;    // below the mirror: where the output is (or will be)
    std::string oldOutputPath; // a move's origin; a converted source's output of another
                               // name (its extension changed), removed once it is done
    bool retag = false;        // a move whose tags changed as well
    std::string reason;        // why, for Conflict and Forget
};

// How this sync names and makes its outputs.
struct SyncTarget {
    std::string extension; // the profile's, with its dot
    std::string options;   // syncOptionsText of the profile
    std::string naming;    // --name's pattern; "" for the source's tree and name
    // A file we do not own at a new source's name is adopted when whole. Not in a sharded
    // sync with --name: another share's new output may stand there, so the source takes a
    // counter instead.
    bool adoptStrangers = true;
};

// What the plan needs to know of the mirror, asked as it goes.
struct MirrorFacts {
    // Size and time of the file at `outputPath` (below the mirror).
    std::function<FileFacts(const std::string& outputPath)> output;
    // True when the record's source is gone: its root is there and the file is not.
    std::function<bool(const ManifestRecord& record)> sourceGone;
};

// The state of a record's output on the disk.
enum class OutputState {
    Missing,
    Written, // as the record says we wrote it
    Stale,   // the one a replacement in progress was to replace: ours, but out of date
    Changed, // neither: the user's now
};
OutputState outputState(const ManifestRecord& record, const FileFacts& output);

// True when a source must be probed (sound and tags fingerprinted) before it can be
// judged: it has no record, or its size or time, the profile's options, the naming or its
// output differ from the record.
bool needsProbe(const SyncSource& source, const ManifestRecord* record, const SyncTarget& target,
                const MirrorFacts& facts);

// The record of each source (index into `records`, or -1).
std::vector<int> matchRecords(const std::vector<SyncSource>& sources,
                              const std::vector<ManifestRecord>& records);

// The whole plan: one item per source, in the sources' order, then one per record of a
// gone source under one of `roots` that no move took, in the records' order. Sources
// that needed a probe must have been probed. An output keeps its name while it is still
// the one its source's name (or tags) give, with or without its counter.
std::vector<SyncItem> planSync(const std::vector<SyncSource>& sources,
                               const std::vector<ManifestRecord>& records,
                               const std::vector<std::string>& roots, const SyncTarget& target,
                               const MirrorFacts& facts);

// What a record keeps of the profile that made its output, compared at every sync (other
// settings convert again): its name, extension and encoder options.
std::string syncOptionsText(const ConversionProfile& profile);

// The step's word in the printed plan and the summary's tally it counts under.
const char* syncStepWord(SyncStep step);
