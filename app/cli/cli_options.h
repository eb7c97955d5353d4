// The command line of nemarro-cli: what it was asked to do, read and checked before
// anything runs.
#pragma once

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
    ConversionProfile* profile = nullptr; // with the overrides applied to its selection
    std::string outputFolder;             // empty: each output beside its source
    int jobs = 1;
    bool skipExisting = false;
    bool sync = false; // keep outputFolder a mirror of the sources (sync_run.h)
    bool dryRun = false;
    bool quiet = false;
    std::vector<std::string> sources; // files and folders, as given
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
