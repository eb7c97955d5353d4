// When a finishing ffmpeg is ended by force.
#pragma once

#include <cstdint>

// After "q" an encoder closes its file, which can take long: a long M4A or MP4 being
// finalised, a slow or network disk. It is ended by force only when it shows no sign of
// life (no output, no change of its output file's size or time) for kQuietLimitMs: gently
// first, hard after a further kHardGraceMs of quiet.
class FinishWatch {
public:
    static constexpr std::int64_t kQuietLimitMs = 15000;
    static constexpr std::int64_t kHardGraceMs = 3000;
    enum class Force { None, Gently, Hard };

    // "q" went out at `nowMs`; later calls change nothing.
    void start(std::int64_t nowMs);
    bool started() const { return m_quietSinceMs >= 0; }
    // What was seen at `nowMs`: output, and the output file's size and time (-1 for none).
    void observe(std::int64_t nowMs, bool output, std::int64_t fileSize, std::int64_t fileTime);
    // The forced end due at `nowMs`; each is due once.
    Force due(std::int64_t nowMs);

private:
    std::int64_t m_quietSinceMs = -1;
    std::int64_t m_fileSize = -1;
    std::int64_t m_fileTime = -1;
    Force m_done = Force::None;
};
