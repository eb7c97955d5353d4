// pb.dat, the prober: "pb.dat -show_format -show_streams <file>" prints the file's streams
// and format as ffprobe-style sections on standard output and exits 0 (-show_tags adds
// the tags a copy is named from, -show_fingerprints the fingerprints of its sound and of
// its tags, which read the whole file); a file that
// cannot be read as media gives one line on standard error and status 1. It starts no
// other program, reads only regular files, and ends by itself when the read stalls or
// the program that started it is gone.
#include "lifeline.h"
#include "media_report.h"
#include "regular_file.h"

extern "C" {
#include <libavutil/log.h>
}

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// A read of local media takes milliseconds; this only ends a read that hangs, such as
// one on a network mount that went away (a whole-file read renews it as it moves on).
constexpr int kTimeLimitSeconds = 20;

constexpr char kUsage[] =
    "usage: pb.dat [-show_format] [-show_streams] [-show_tags] [-show_fingerprints] FILE";

int fail(const char* reason) {
    // The path is never repeated: it may hold anything, and the output is read for keys.
    std::fprintf(stderr, "pb.dat: %s\n", reason);
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    startLifeline(kTimeLimitSeconds);
    ReportSections sections = {false, false, false, false};
    const char* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-show_format") == 0) {
            sections.format = true;
        } else if (std::strcmp(argv[i], "-show_streams") == 0) {
            sections.streams = true;
        } else if (std::strcmp(argv[i], "-show_tags") == 0) {
            sections.tags = true;
        } else if (std::strcmp(argv[i], "-show_fingerprints") == 0) {
            sections.fingerprints = true;
        } else if (argv[i][0] == '-' && argv[i][1] != '\0') {
            return fail((std::string("unknown option; ") + kUsage).c_str());
        } else if (path != nullptr) {
            return fail((std::string("more than one file given; ") + kUsage).c_str());
        } else {
            path = argv[i];
        }
    }
    if (path == nullptr) {
        return fail((std::string("no file given; ") + kUsage).c_str());
    }
    if (const char* why = whyNotARegularFile(path)) {
        return fail((std::string("cannot probe the path: ") + why).c_str());
    }

    // libav's own messages name the file and quote its contents: none of that reaches
    // the output.
    av_log_set_level(AV_LOG_QUIET);
    std::string report;
    const int result = writeMediaReport(path, sections, &report);
    if (result < 0) {
        return fail(("cannot read the file as media: " + mediaErrorText(result)).c_str());
    }
    const bool written = std::fwrite(report.data(), 1, report.size(), stdout) == report.size() &&
                         std::fflush(stdout) == 0;
    // The report is out; the exit handlers and destructors of the hundred-odd libraries
    // libav loaded have nothing left to do for us, and running them costs start-up time
    // all over again.
    std::_Exit(written ? 0 : 1);
}
