// One question to the prober: what to report of which file, from the words of its command
// line or of a request to a serving prober (serving.h), and its answer.
#pragma once

#include "media_report.h"

#include <string>

struct ProbeRequest {
    ReportSections sections;
    bool length; // "-show_length": the length the container records (output_length.h)
    bool decode; // "-decode_audio": the sound decoded in full (decoded_audio.h)
    const char* path;
};

inline constexpr char kProbeUsage[] =
    "usage: pb.dat [-show_format] [-show_streams] [-show_tags] [-show_fingerprints] "
    "[-show_length] [-decode_audio] FILE, or pb.dat -serve";

// Reads `count` words into `request`. Empty when they make a request, else why not
// (an unknown option, no file or two), with the usage.
std::string whyNotAProbeRequest(int count, const char* const* words, ProbeRequest* request);

// Answers the request: 0 with the report appended to `report`, or 1 with the one line
// (newline included) that says why the file could not be read in `error`. The path is
// never repeated: it may hold anything, and the report is read for its keys. `progress`
// is called as a long read moves on.
int answerProbeRequest(const ProbeRequest& request, std::string* report, std::string* error,
                       void (*progress)());
