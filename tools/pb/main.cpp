// pb.dat, the prober: "pb.dat -show_format -show_streams <file>" prints the file's streams
// and format as ffprobe-style sections on standard output and exits 0 (-show_tags adds
// the tags a copy is named from, -show_fingerprints the fingerprints of its sound and of
// its tags, which read the whole file); a file that cannot be read as media gives one
// line on standard error and status 1. Two checks of a written file: "-show_length"
// prints the length its container records (output_length.h), "-decode_audio" decodes its
// sound in full and prints what was found (decoded_audio.h). "pb.dat -serve" answers
// such requests one after another on its standard input (serving.h). It starts no other
// program, reads only regular files, and ends by itself when a read stalls or the
// program that started it is gone.
#include "lifeline.h"
#include "probe_request.h"
#include "serving.h"

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

} // namespace

int main(int argc, char** argv) {
    // libav's own messages name the file and quote its contents: none of that reaches
    // the output.
    av_log_set_level(AV_LOG_QUIET);
    // The exit handlers and destructors of the hundred-odd libraries libav loaded have
    // nothing left to do for us, and running them costs start-up time all over again:
    // every way out is _Exit.
    if (argc == 2 && std::strcmp(argv[1], "-serve") == 0)
        std::_Exit(serveRequests(kTimeLimitSeconds));

    ProbeRequest request{};
    const std::string why = whyNotAProbeRequest(argc - 1, argv + 1, &request);
    if (!why.empty()) {
        std::fprintf(stderr, "pb.dat: %s\n", why.c_str());
        std::_Exit(1);
    }
    startLifeline(kTimeLimitSeconds);
    std::string report;
    std::string error;
    if (answerProbeRequest(request, &report, &error, renewLifeline) != 0) {
        std::fputs(error.c_str(), stderr);
        std::_Exit(1);
    }
    const bool written = std::fwrite(report.data(), 1, report.size(), stdout) == report.size() &&
                         std::fflush(stdout) == 0;
    std::_Exit(written ? 0 : 1);
}
