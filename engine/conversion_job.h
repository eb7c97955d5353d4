// One added file: where it is, how long it is, the range and profile to convert it
// with, where its output goes, and the texts of its row.
#pragma once

#include "path_limits.h"
#include "profile.h"

#include <cstddef>
#include <cstdint>
#include <cwchar>

class JobRowView;

inline constexpr std::size_t kDriveSize = 32;
inline constexpr std::size_t kExtensionSize = 32;
inline constexpr std::size_t kClockTextSize = 32;
inline constexpr std::size_t kSizeTextSize = 16;
inline constexpr std::size_t kJobNoteSize = 512;

// The text of an empty path field; it is shared, never allocated.
inline constexpr char kNoPath[] = "";

// Text fields are 8-bit text in the locale's encoding, zero-terminated. The six path
// fields are read-only here: each is allocated to its own length (a path may be as long
// as kPathSize allows, and ten thousand jobs must stay small), never null, and written
// only by createJob, setJobOutputBaseName, setJobNamedBaseName and setJobDestination;
// releaseJob frees them.
struct ConversionJob {
    const char* sourcePath = kNoPath;
    char sourceDrive[kDriveSize];       // always empty on POSIX
    const char* sourceFolder = kNoPath; // with its leading and trailing separator
    char sourceExtension[kExtensionSize]; // with its dot
    const char* sourceBaseName = kNoPath;    // no folder, no extension
    const char* outputBaseName = kNoPath;    // written by buildOutputPath at every start
    const char* destinationFolder = kNoPath; // empty: beside the source file
    const char* namedBaseName = kNoPath;     // a front end's output name; empty: the source's
    double duration;                    // seconds, from the probe
    char durationText[kClockTextSize];  // formatClock(duration)
    double trimStart;                   // range to convert, seconds
    double trimEnd;
    ConversionProfile* profile;         // not owned
    ConversionJob* next;                // following job in g_jobList, or nullptr
    int32_t row;                        // list-view row, set by renumberRows
    char sizeText[kSizeTextSize];       // "%.1fMB" or "? MB"
    // Why the last conversion ended as it did: lines separated by '\n', empty when there
    // is nothing to say. Written by job_note, shown by the window beside the status.
    char note[kJobNoteSize];
};

// A new job for `sourcePath` with the start values: the path and its four parts,
// range 0..duration, durationText, `profile` and its size estimate; not yet in the list.
// Returns nullptr when the path or one of its parts does not fit its field: such a
// path is refused, never cut. Release it with releaseJob unless a list took it.
ConversionJob* createJob(const char* sourcePath, double duration, ConversionProfile* profile);
// True when createJob would take the path: it and each of its parts fit their fields.
bool jobFieldsHold(const char* sourcePath);
void releaseJob(ConversionJob* job);
// Replace the job's outputBaseName, destinationFolder or namedBaseName (the output's name
// before any counter that nemarro-cli makes from tags) with a copy of `text`. Return 0,
// or -1 when it has kPathSize bytes or more or no memory is left (the field then stays).
int setJobOutputBaseName(ConversionJob* job, const char* text);
int setJobDestination(ConversionJob* job, const char* text);
int setJobNamedBaseName(ConversionJob* job, const char* text);

// Fills sizeText from the job's range and profile: "%.1fMB", or "? MB" when the size is
// 0 or a video profile's video bit rate is not a number.
void estimateOutputSize(ConversionJob* job);

// Makes `profile` the job's profile, renews sizeText and, with a view, rewrites the
// File Name, Duration and Output Size cells of the job's row. Does nothing without a job.
void refreshJobRow(JobRowView* view, ConversionJob* job, ConversionProfile* profile);

// Seconds as "%02d:%02d:%05.2f" (3725.5 gives "01:02:05.50") into kClockTextSize
// characters; the wide form likewise.
void formatClock(double seconds, char* text);
void formatClock(double seconds, wchar_t* text);
