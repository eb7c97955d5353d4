// The signs of life of a finishing encoder, and the forced end once they stop.
#include "finish_watch.h"

void FinishWatch::start(std::int64_t nowMs) {
    if (m_quietSinceMs < 0)
        m_quietSinceMs = nowMs;
}

void FinishWatch::observe(std::int64_t nowMs, bool output, std::int64_t fileSize,
                          std::int64_t fileTime) {
    const bool fileChanged = fileSize != m_fileSize || fileTime != m_fileTime;
    m_fileSize = fileSize;
    m_fileTime = fileTime;
    if (started() && (output || fileChanged))
        m_quietSinceMs = nowMs;
}

FinishWatch::Force FinishWatch::due(std::int64_t nowMs) {
    const std::int64_t quiet = started() ? nowMs - m_quietSinceMs : 0;
    if (m_done == Force::None && quiet >= kQuietLimitMs)
        m_done = Force::Gently;
    else if (m_done == Force::Gently && quiet >= kQuietLimitMs + kHardGraceMs)
        m_done = Force::Hard;
    else
        return Force::None;
    return m_done;
}
