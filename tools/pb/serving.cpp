// Answering one request after another on standard input.
#include "serving.h"

#include "lifeline.h"
#include "probe_request.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// A request is a handful of options and one path; more than this is no request of ours.
constexpr std::size_t kMaxRequestBytes = 64 * 1024;

// Reads standard input until `pending` holds a whole request, and moves its words into
// `words`. False when the input ends or breaks first, or brings too much for a request.
bool readRequest(std::string* pending, std::vector<std::string>* words) {
    for (;;) {
        words->clear();
        std::size_t start = 0;
        for (std::size_t end; (end = pending->find('\0', start)) != std::string::npos;
             start = end + 1) {
            if (end == start) { // the empty word that ends the request
                pending->erase(0, end + 1);
                return true;
            }
            words->push_back(pending->substr(start, end - start));
        }
        if (pending->size() > kMaxRequestBytes)
            return false;
        char buffer[4096];
        const ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        pending->append(buffer, static_cast<std::size_t>(got));
    }
}

bool writeAnswer(const std::string& text, int status) {
    char end[48];
    std::snprintf(end, sizeof end, "%s%d]\n", kAnswerEnd, status);
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() &&
           std::fputs(end, stdout) >= 0 && std::fflush(stdout) == 0;
}

} // namespace

int serveRequests(int timeLimitSeconds) {
    startLifeline(timeLimitSeconds, false); // standard input is ours to read
    suspendLifeline();
    if (!writeAnswer("", 0))
        return 1;
    std::string pending;
    std::vector<std::string> words;
    std::string report;
    std::string error;
    while (readRequest(&pending, &words)) {
        renewLifeline();
        std::vector<const char*> pointers;
        for (const std::string& word : words)
            pointers.push_back(word.c_str());
        ProbeRequest request{};
        const std::string why =
            whyNotAProbeRequest(static_cast<int>(pointers.size()), pointers.data(), &request);
        report.clear();
        int status = 1;
        if (!why.empty())
            report = "pb.dat: " + why + "\n";
        else if ((status = answerProbeRequest(request, &report, &error, renewLifeline)) != 0)
            report = error;
        suspendLifeline();
        if (!writeAnswer(report, status))
            return 1;
    }
    // The end of the input between requests is the caller's goodbye; anything else is not.
    return pending.empty() ? 0 : 1;
}
