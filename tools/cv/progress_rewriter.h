// Rewriting of ffmpeg's progress clock: "time=00:01:02.50" becomes "time=62.50".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// ffmpeg reports its position as a clock, but the program that reads cv.dat's output
// wants a plain number of seconds. ffmpeg's reports are lines that end in CR or LF, read
// in arbitrary pieces: a line is passed on, rewritten, once its end has come (or once it
// is implausibly long). Every other byte is passed on unchanged and in order.
class ProgressRewriter {
public:
    // Takes one piece and appends the lines it completed to `out`.
    void feed(const char* data, std::size_t size, std::string& out);
    // End of the stream: appends the unfinished line, rewritten.
    void finish(std::string& out);

    // True once a clock has been rewritten; lastTime() is then its value in seconds
    // as written ("62.50", "-0.02").
    bool hasTime() const { return m_hasTime; }
    const std::string& lastTime() const { return m_lastTime; }

private:
    void rewrite(std::string_view line, std::string& out);

    std::string m_line; // the unfinished line
    bool m_hasTime = false;
    std::string m_lastTime;
};
