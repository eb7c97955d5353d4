// Reading a media file's headers through libavformat and writing what was found as
// ffprobe-style sections ("[STREAM]" ... "[/STREAM]", "[FORMAT]" ... "[/FORMAT]").
#pragma once

#include <string>

struct ReportSections {
    bool streams;
    bool format;
    bool tags;         // "[TAGS]" (tag_report.h), behind the format section
    bool fingerprints; // "[FINGERPRINT]" (fingerprint_report.h), last: reads every packet
};

// Opens `path` the way ffprobe does (same demuxer choice, stream-information pass and
// decoder opening, so the same files succeed and the durations agree) and appends the
// chosen sections to `report`. Only numbers and libav's own names are written, and tags
// only escaped on their own keys' lines: never the path, so nothing from the file can
// pose as a section marker or a key.
// Returns 0, or a libav error code (negative) with nothing appended.
int writeMediaReport(const char* path, ReportSections sections, std::string* report);

// A short description of a libav error code.
std::string mediaErrorText(int error);
