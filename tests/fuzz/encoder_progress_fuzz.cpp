// The encoder output reader on arbitrary output cut into arbitrary reads: the last
// complete line must be the one the whole text ends its last line with, and the
// "time=" position must stay a finite number.
#include "chunk_cutter.h"
#include "encoder_progress.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool isLineBreak(char c) {
    return c == '\r' || c == '\n';
}

// The last non-empty line of `text` that a line break has closed; empty when none.
std::string lastCompleteLine(const std::string& text) {
    std::string last;
    std::string current;
    for (char c : text) {
        if (!isLineBreak(c)) {
            current += c;
        } else if (!current.empty()) {
            last.swap(current);
            current.clear();
        }
    }
    return last;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    EncoderProgress progress = {0, nullptr, nullptr, nullptr, 0.0, nullptr, nullptr};
    ToolProcess tool{};
    tool.context = &progress;
    tool.handlers = &kEncoderHandlers;

    // What the reader can see: each read up to its first NUL, as the chunk is a C text.
    std::string seen;
    ChunkCutter cutter(data, size, kChunkSize - 1);
    for (std::size_t at = 0; at < size;) {
        const std::size_t piece = std::min(cutter.next(), size - at);
        std::memcpy(tool.chunk, data + at, piece);
        tool.chunk[piece] = '\0';
        seen += tool.chunk;
        at += piece;
        encoderOnOutput(&tool);
        if (!std::isfinite(progress.currentTime)) {
            std::abort();
        }
    }
    // Output beyond the reader's limit without a line break is dropped on purpose.
    if (size < (1 << 20) && progress.lastLine != nullptr &&
        lastCompleteLine(seen) != progress.lastLine) {
        std::abort();
    }
    encoderFinish(&tool);
    if (progress.lastLine != nullptr || progress.pendingText != nullptr) {
        std::abort();
    }
    return 0;
}
