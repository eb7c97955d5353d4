// The reader of a serving prober's output on arbitrary output cut into arbitrary reads:
// what it takes for the greeting, the answer and its status must be what a plain reading
// of the whole text, line by line, finds; and once an answer has ended, nothing more
// changes it. Read again after the answer is forgotten, the same text is one answer long
// up to its first end line, the greeting's included.
#include "chunk_cutter.h"
#include "served_answer.h"
#include "tool_process.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The status an end line gives ("[/ANSWER status=N]\n", N of 0 to 255 in at most
// 24 bytes of line), or -1 when the line is none.
int endStatus(const std::string& line) {
    const std::string head = "[/ANSWER status=";
    if (line.size() > 24 || line.size() < head.size() + 3 ||
        line.compare(0, head.size(), head) != 0 || line.compare(line.size() - 2, 2, "]\n") != 0)
        return -1;
    const std::string digits = line.substr(head.size(), line.size() - head.size() - 2);
    if (digits.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    int status = 0;
    for (char d : digits) {
        status = status * 10 + (d - '0');
        if (status > 255)
            return -1;
    }
    return status;
}

struct Expected {
    bool greeted = false;
    std::string text;
    int status = -1;
};

Expected readWhole(const std::string& text, bool greeted) {
    Expected expected;
    expected.greeted = greeted;
    for (std::size_t start = 0; start < text.size() && expected.status < 0;) {
        const std::size_t end = text.find('\n', start);
        const std::string line =
            text.substr(start, end == std::string::npos ? end : end + 1 - start);
        start = end == std::string::npos ? text.size() : end + 1;
        const int status = endStatus(line);
        if (!expected.greeted) {
            expected.greeted = status >= 0;
        } else if (status >= 0) {
            expected.status = status;
        } else {
            expected.text += line;
        }
    }
    return expected;
}

void feed(ServedAnswer* answer, const std::string& text, ChunkCutter* cutter) {
    char piece[kChunkSize];
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t n = std::min(cutter->next(), text.size() - at);
        std::memcpy(piece, text.data() + at, n);
        piece[n] = '\0';
        readServedOutput(answer, piece);
        at += n;
    }
}

void expect(const ServedAnswer& answer, const Expected& expected) {
    const int status = answer.status == kExitUnknown ? -1 : answer.status;
    if (answer.greeted != expected.greeted || status != expected.status ||
        std::string(answer.text == nullptr ? "" : answer.text,
                    static_cast<std::size_t>(answer.length)) != expected.text)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text; // a program's output reaches the reader as terminated pieces
    for (std::size_t i = 0; i < size; ++i)
        if (data[i] != 0)
            text.push_back(static_cast<char>(data[i]));
    ChunkCutter cutter(data, size, kChunkSize - 1);
    ServedAnswer answer;
    initServedAnswer(&answer);
    feed(&answer, text, &cutter);
    expect(answer, readWhole(text, false));
    if (answer.status != kExitUnknown) {
        feed(&answer, text, &cutter);
        expect(answer, readWhole(text, false));
    }
    if (answer.greeted) {
        forgetServedAnswer(&answer);
        feed(&answer, text, &cutter);
        expect(answer, readWhole(text, true));
    }
    releaseServedAnswer(&answer);
    return 0;
}
