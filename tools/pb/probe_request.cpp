// The prober's requests: the words that ask, and the reads that answer.
#include "probe_request.h"

#include "decoded_audio.h"
#include "output_length.h"
#include "regular_file.h"

#include <cstring>

std::string whyNotAProbeRequest(int count, const char* const* words, ProbeRequest* request) {
    *request = ProbeRequest{{false, false, false, false}, false, false, nullptr};
    for (int i = 0; i < count; ++i) {
        const char* word = words[i];
        if (std::strcmp(word, "-show_format") == 0) {
            request->sections.format = true;
        } else if (std::strcmp(word, "-show_streams") == 0) {
            request->sections.streams = true;
        } else if (std::strcmp(word, "-show_tags") == 0) {
            request->sections.tags = true;
        } else if (std::strcmp(word, "-show_fingerprints") == 0) {
            request->sections.fingerprints = true;
        } else if (std::strcmp(word, "-show_length") == 0) {
            request->length = true;
        } else if (std::strcmp(word, "-decode_audio") == 0) {
            request->decode = true;
        } else if (word[0] == '-' && word[1] != '\0') {
            return std::string("unknown option; ") + kProbeUsage;
        } else if (request->path != nullptr) {
            return std::string("more than one file given; ") + kProbeUsage;
        } else {
            request->path = word;
        }
    }
    if (request->path == nullptr)
        return std::string("no file given; ") + kProbeUsage;
    return {};
}

int answerProbeRequest(const ProbeRequest& request, std::string* report, std::string* error,
                       void (*progress)()) {
    if (const char* why = whyNotARegularFile(request.path)) {
        *error = std::string("pb.dat: cannot probe the path: ") + why + "\n";
        return 1;
    }
    const ReportSections& sections = request.sections;
    const std::size_t before = report->size();
    int result = 0;
    if (sections.streams || sections.format || sections.tags || sections.fingerprints)
        result = writeMediaReport(request.path, sections, report);
    if (result >= 0 && request.length)
        result = writeOutputLength(request.path, report);
    if (result >= 0 && request.decode)
        result = writeDecodedAudio(request.path, report, progress);
    if (result < 0) {
        report->resize(before);
        *error = "pb.dat: cannot read the file as media: " + mediaErrorText(result) + "\n";
        return 1;
    }
    return 0;
}
