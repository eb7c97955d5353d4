// One file of nemarro-cli's run and what became of it, from its probe to its verdict.
#pragma once

#include <cmath>
#include <string>

struct ConversionJob;

// How one file of the run ends up.
enum class FileState {
    Waiting, // probed, not started yet
    Running,
    Converted,
    Failed,  // the reason is in the job's note, or in `failure` for a file without a job
    Stopped, // ended early on a stop request: a valid, shorter file
    Skipped, // not converted on purpose; `skipReason` says why
};

struct PlannedFile {
    std::string path;
    ConversionJob* job = nullptr; // owned; its row is the file's index in the run
    FileState state = FileState::Waiting;
    const char* skipReason = "";
    std::string failure;
    std::string outputPath; // composed when its encoder started (or planned by a dry run)
    float percent = 0.0f;   // of its range, while it converts
    double outputSeconds = std::nan(""); // of sound written, as far as the encoder got
};
