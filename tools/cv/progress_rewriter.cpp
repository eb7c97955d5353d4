// Stream rewriting of ffmpeg's progress clock into seconds.
#include "progress_rewriter.h"

#include <cstdio>

namespace {

constexpr char kKey[] = "time=";
constexpr std::size_t kKeyLength = sizeof(kKey) - 1;
// A field longer than this is no clock of ffmpeg's; giving up keeps the held text short
// and the arithmetic far from overflow.
constexpr int kMaxFieldDigits = 12;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

void ProgressRewriter::feed(const char* data, std::size_t size, std::string& out) {
    out.reserve(out.size() + size);
    for (std::size_t i = 0; i < size; ++i)
        take(data[i], out);
}

void ProgressRewriter::finish(std::string& out) {
    if (!completeClock(out))
        giveUp(out);
}

void ProgressRewriter::restart() {
    m_phase = Phase::Idle;
    m_held.clear();
    m_negative = false;
    m_hours = m_minutes = m_seconds = 0;
    m_digits = 0;
    m_fraction.clear();
}

// Not a clock after all: the held bytes go out exactly as they came.
void ProgressRewriter::giveUp(std::string& out) {
    out += m_held;
    restart();
}

// Writes the held clock as seconds when it is whole (hours, minutes and seconds seen).
bool ProgressRewriter::completeClock(std::string& out) {
    if (m_phase != Phase::Seconds && m_phase != Phase::Fraction)
        return false;
    if (m_phase == Phase::Seconds && m_digits == 0)
        return false;
    const std::int64_t whole = m_hours * 3600 + m_minutes * 60 + m_seconds;
    char number[64];
    // The fraction digits are copied, not recomputed, so no rounding creeps in.
    std::snprintf(number, sizeof number, "%s%lld%s%s", m_negative ? "-" : "",
                  static_cast<long long>(whole), m_phase == Phase::Fraction ? "." : "",
                  m_fraction.c_str());
    m_lastTime = number;
    m_hasTime = true;
    out += kKey;
    out += number;
    restart();
    return true;
}

void ProgressRewriter::take(char c, std::string& out) {
    switch (m_phase) {
    case Phase::Idle:
        if (c == kKey[0]) {
            m_held.assign(1, c);
            m_phase = Phase::Key;
        } else {
            out += c;
        }
        return;
    case Phase::Key:
        if (c != kKey[m_held.size()]) {
            giveUp(out);
            take(c, out);
            return;
        }
        m_held += c;
        if (m_held.size() == kKeyLength)
            m_phase = Phase::Sign;
        return;
    case Phase::Sign:
        if (c == '-' && !m_negative) {
            m_negative = true;
            m_held += c;
            return;
        }
        if (!isDigit(c)) {
            giveUp(out);
            take(c, out);
            return;
        }
        m_phase = Phase::Hours;
        m_digits = 0;
        [[fallthrough]];
    case Phase::Hours:
    case Phase::Minutes:
    case Phase::Seconds: {
        std::int64_t& field = m_phase == Phase::Hours     ? m_hours
                              : m_phase == Phase::Minutes ? m_minutes
                                                          : m_seconds;
        if (isDigit(c) && m_digits < kMaxFieldDigits) {
            field = field * 10 + (c - '0');
            ++m_digits;
            m_held += c;
            return;
        }
        const char separator = m_phase == Phase::Seconds ? '.' : ':';
        if (c == separator && m_digits > 0) {
            m_held += c;
            m_digits = 0;
            m_phase = m_phase == Phase::Hours     ? Phase::Minutes
                      : m_phase == Phase::Minutes ? Phase::Seconds
                                                  : Phase::Fraction;
            return;
        }
        if (!completeClock(out))
            giveUp(out);
        take(c, out);
        return;
    }
    case Phase::Fraction:
        if (isDigit(c) && m_fraction.size() < kMaxFieldDigits) {
            m_fraction += c;
            m_held += c;
            return;
        }
        completeClock(out);
        take(c, out);
        return;
    }
}
