// The probe output reader on arbitrary output cut into arbitrary reads: the duration
// read from the pieces must be the one read from the whole text at once.
#include "bounded_text.h"
#include "chunk_cutter.h"
#include "media_probe.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The duration of the format section of the whole output, as one text.
double durationOf(const std::string& text) {
    const char* format = std::strstr(text.c_str(), "[FORMAT]");
    const char* duration = format == nullptr ? nullptr : std::strstr(format, "duration=");
    return duration == nullptr ? 0.0 : readLeadingNumber(duration + 9);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MediaInfo info = {"/In/song.wma", nullptr, 0, 0, 0.0};
    ToolProcess tool{};
    std::strcpy(tool.programPath, "/App/pb.dat");
    tool.context = &info;
    tool.handlers = &kProbeHandlers;
    if (probePrepare(&tool) != 0) {
        std::abort();
    }

    std::string seen;
    ChunkCutter cutter(data, size, kChunkSize - 1);
    for (std::size_t at = 0; at < size;) {
        const std::size_t piece = std::min(cutter.next(), size - at);
        std::memcpy(tool.chunk, data + at, piece);
        tool.chunk[piece] = '\0';
        seen += tool.chunk;
        at += piece;
        probeOnOutput(&tool);
    }
    probeFinish(&tool);
    if (info.outputText != nullptr || !std::isfinite(info.duration) ||
        info.duration != durationOf(seen)) {
        std::abort();
    }
    return 0;
}
