// Stream rewriting of ffmpeg's progress clock: "time=00:01:02.50" becomes "time=62.50".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// ffmpeg reports its position as a clock, but the program that reads cv.dat's output
// wants a plain number of seconds. The rewriter works on a byte stream cut into
// arbitrary reads: text that may still be the start of a clock is held back until the
// next chunk shows whether it is one. Every other byte is passed on unchanged and in order.
class ProgressRewriter {
public:
    // Rewrites one chunk and appends the bytes that are ready to `out`.
    void feed(const char* data, std::size_t size, std::string& out);
    // End of the stream: appends whatever was held back (rewritten when it is a whole clock).
    void finish(std::string& out);

    // True once a clock has been rewritten; lastTime() is then its value in seconds
    // as written ("62.50", "-0.02").
    bool hasTime() const { return m_hasTime; }
    const std::string& lastTime() const { return m_lastTime; }

private:
    enum class Phase { Idle, Key, Sign, Hours, Minutes, Seconds, Fraction };

    void take(char c, std::string& out);
    void giveUp(std::string& out);
    bool completeClock(std::string& out);
    void restart();

    Phase m_phase = Phase::Idle;
    std::string m_held; // raw bytes since the "t" that may start "time="
    bool m_negative = false;
    std::int64_t m_hours = 0;
    std::int64_t m_minutes = 0;
    std::int64_t m_seconds = 0;
    int m_digits = 0; // digits of the current clock field
    std::string m_fraction;
    bool m_hasTime = false;
    std::string m_lastTime;
};
