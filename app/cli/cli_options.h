// The command line of nemarro-cli: what it was asked to do, read and checked before
// anything runs.
#pragma once

#include "name_pattern.h"

#include <memory>
#include <string>
#include <vector>

struct ConversionProfile;

// Exit statuses.
inline constexpr int kExitConverted = 0;  // every file converted (skipped ones aside)
inline constexpr int kExitSomeFailed = 1; // at least one file failed
inline constexpr int kExitBadUsage = 2;   // bad usage or a refused value: nothing written
inline constexpr int kExitInterrupted = 130;

inline constexpr int kMaxJobs = 64;

struct CliOptions {
    // With the overrides applied to its selection. For an audio profile, a copy in which
    // the sample rate and the channels the user did not give are the source's own.
    ConversionProfile* profile = nullptr;
    std::shared_ptr<ConversionProfile> sourceFormatProfile; // that copy; null for none
    std::string outputFolder;                               // empty: beside each source
    int jobs = 1;
    bool skipExisting = false;
    bool sync = false; // keep outputFolder a mirror of the sources (sync_run.h)
    bool dryRun = false;
    bool quiet = false;
    bool verify = false;              // each output decoded in full and checked before it counts
    std::vector<std::string> sources; // files and folders, as given
    bool json = false;                // one JSON object a line on stdout, for scripts
    std::string filesFrom;            // a list of paths to take too; "-": standard input
    bool nullSeparated = false;       // the list's paths end in NUL, not in a newline
    int shardIndex = 0;               // --shard K/N: this process takes share K of N
    int shardCount = 0;               // 0: no --shard, every file
    bool named = false;               // --name: outputs named from tags by `namePattern`
    NamePattern namePattern;
};

// What the command line asks for.
enum class CliRequest {
    Convert,
    ListProfiles,
    Help,
    Version,
    Refused, // `error` says why
};

// Reads argv. A profile and overrides are checked against the catalogue: a value that is
// not one of the profile's own choices is refused with the allowed ones named.
CliRequest parseCliOptions(int argc, char** argv, CliOptions* options, std::string* error);

// The texts of --help and --list-profiles.
std::string usageText();
std::string profileListText();
