// Cuts a fuzz input into the pieces a pipe might deliver: sizes drawn from the input's
// own hash, so the same input is always cut the same way and every mutation of it is
// likely to be cut differently. Most pieces are large, some are a few bytes.
#pragma once

#include <cstddef>
#include <cstdint>

class ChunkCutter {
public:
    ChunkCutter(const std::uint8_t* data, std::size_t size, std::size_t maxPiece)
        : m_maxPiece(maxPiece) {
        m_state = 1469598103934665603ULL; // FNV-1a
        for (std::size_t i = 0; i < size; ++i) {
            m_state = (m_state ^ data[i]) * 1099511628211ULL;
        }
    }

    // The size of the next piece, 1..maxPiece.
    std::size_t next() {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        const std::uint64_t draw = m_state >> 33;
        const std::size_t limit = (draw & 3) == 0 ? 8 : m_maxPiece;
        return 1 + static_cast<std::size_t>((draw >> 2) % limit);
    }

private:
    std::size_t m_maxPiece;
    std::uint64_t m_state;
};
