// Line by line rewriting of ffmpeg's progress clock into seconds.
#include "progress_rewriter.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr std::string_view kKey = "time=";
// A field longer than this is no clock of ffmpeg's; it also keeps the arithmetic far
// from overflow.
constexpr std::size_t kMaxFieldDigits = 12;
// ffmpeg's lines are far shorter; a longer run without CR or LF is passed on as it is.
constexpr std::size_t kMaxLine = 16384;

// The number of digits at `at`, at most kMaxFieldDigits.
std::size_t digitsAt(std::string_view text, std::size_t at) {
    std::size_t count = 0;
    while (at + count < text.size() && count < kMaxFieldDigits && text[at + count] >= '0' &&
           text[at + count] <= '9')
        ++count;
    return count;
}

std::int64_t number(std::string_view digits) {
    std::int64_t value = 0;
    for (char c : digits)
        value = value * 10 + (c - '0');
    return value;
}

// Reads the clock "[-]H:M:S[.F]" at `at` (every field but F at least one digit) and
// writes it as seconds. Returns where the clock ends, or 0 when there is none.
std::size_t readClock(std::string_view text, std::size_t at, std::string& seconds) {
    const bool negative = at < text.size() && text[at] == '-';
    std::size_t end = at + (negative ? 1 : 0);
    std::int64_t whole = 0;
    for (int field = 0; field < 3; ++field) {
        const std::size_t count = digitsAt(text, end);
        if (count == 0 || (field < 2 && (end + count >= text.size() || text[end + count] != ':')))
            return 0;
        whole = whole * 60 + number(text.substr(end, count));
        end += count + (field < 2 ? 1 : 0);
    }
    seconds = (negative ? "-" : "") + std::to_string(whole);
    if (end < text.size() && text[end] == '.') {
        // The fraction digits are copied, not recomputed, so no rounding creeps in.
        const std::size_t count = digitsAt(text, end + 1);
        seconds += text.substr(end, count + 1);
        end += count + 1;
    }
    return end;
}

} // namespace

void ProgressRewriter::feed(const char* data, std::size_t size, std::string& out) {
    const std::string_view text(data, size);
    std::size_t start = 0;
    while (start < size) {
        const std::size_t room = kMaxLine - m_line.size();
        std::size_t end = text.find_first_of("\r\n", start);
        end = end == std::string_view::npos ? size : end + 1;
        if (end - start < room && text[end - 1] != '\r' && text[end - 1] != '\n') {
            m_line.append(text.substr(start));
            return;
        }
        end = std::min(end, start + room);
        m_line.append(text.substr(start, end - start));
        rewrite(m_line, out);
        m_line.clear();
        start = end;
    }
}

void ProgressRewriter::finish(std::string& out) {
    rewrite(m_line, out);
    m_line.clear();
}

void ProgressRewriter::rewrite(std::string_view line, std::string& out) {
    std::size_t copied = 0;
    for (std::size_t key = line.find(kKey); key != std::string_view::npos;) {
        const std::size_t clock = key + kKey.size();
        std::string seconds;
        const std::size_t end = readClock(line, clock, seconds);
        if (end == 0) {
            key = line.find(kKey, clock);
            continue;
        }
        out.append(line.substr(copied, clock - copied)).append(seconds);
        m_lastTime = seconds;
        m_hasTime = true;
        copied = end;
        key = line.find(kKey, end);
    }
    out.append(line.substr(copied));
}
