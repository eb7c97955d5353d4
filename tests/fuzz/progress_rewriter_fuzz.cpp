// cv.dat's progress rewriter on arbitrary output cut into arbitrary reads: the result
// must not depend on how the stream was cut, and output without "time=" passes unchanged.
#include "chunk_cutter.h"
#include "progress_rewriter.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* text = reinterpret_cast<const char*>(data);

    ProgressRewriter whole;
    std::string expected;
    whole.feed(text, size, expected);
    whole.finish(expected);

    ProgressRewriter pieces;
    std::string out;
    ChunkCutter cutter(data, size, 4096);
    for (std::size_t at = 0; at < size;) {
        const std::size_t piece = std::min(cutter.next(), size - at);
        pieces.feed(text + at, piece, out);
        at += piece;
    }
    pieces.finish(out);

    if (out != expected || pieces.hasTime() != whole.hasTime() ||
        pieces.lastTime() != whole.lastTime()) {
        std::abort();
    }
    if (std::string(text, size).find("time=") == std::string::npos &&
        (out != std::string(text, size) || pieces.hasTime())) {
        std::abort();
    }
    return 0;
}
