// The probe output reader on arbitrary output cut into arbitrary reads: the duration, the
// tags and the fingerprints read from the pieces must be those a plain line-by-line
// reading of the whole text finds.
#include "bounded_text.h"
#include "chunk_cutter.h"
#include "media_probe.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

// The duration of the format section of the whole output, as one text: the first line
// that starts with "[FORMAT]", then the first later line that starts with "duration=".
// Markers and keys elsewhere in a line (a file name, a tag's value) do not count.
double durationOf(const std::string& text) {
    bool inFormat = false;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string line = text.substr(start, end - start);
        if (!inFormat) {
            inFormat = line.rfind("[FORMAT]", 0) == 0;
        } else if (line.rfind("duration=", 0) == 0) {
            return readLeadingNumber(text.c_str() + start + 9);
        }
        start = end + 1;
    }
    return 0.0;
}

// The lines of the section `marker` opens (its first line that starts with it), up to the
// line that starts with `closing`.
std::vector<std::string> sectionLines(const std::string& text, const std::string& marker,
                                      const std::string& closing) {
    std::vector<std::string> lines;
    bool inside = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!inside) {
            inside = line.rfind(marker, 0) == 0;
        } else if (line.rfind(closing, 0) == 0) {
            break;
        } else {
            lines.push_back(line);
        }
    }
    return lines;
}

std::string unescaped(const std::string& value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const std::string rest = value.substr(i, 4);
        if (rest.rfind("\\\\", 0) == 0 || rest.rfind("\\n", 0) == 0 || rest.rfind("\\r", 0) == 0) {
            out += rest[1] == 'n' ? '\n' : rest[1] == 'r' ? '\r' : '\\';
            ++i;
        } else if (rest.size() == 4 && rest[0] == '\\' && rest[1] == 'x' &&
                   std::isxdigit(static_cast<unsigned char>(rest[2])) &&
                   std::isxdigit(static_cast<unsigned char>(rest[3])) && rest.substr(2) != "00") {
            out += static_cast<char>(std::stoi(rest.substr(2), nullptr, 16));
            i += 3;
        } else {
            out += value[i];
        }
    }
    return out;
}

bool sameDetails(const MediaDetails& found, const std::string& text) {
    uint32_t overlong = 0;
    for (int tag = 0; tag < kTagCount; ++tag) {
        std::string expected;
        const std::string key = std::string(kMediaTagKeys[tag]) + "=";
        for (const std::string& line : sectionLines(text, "[TAGS]", "[/TAGS]")) {
            if (line.rfind(key, 0) == 0) {
                expected = unescaped(line.substr(key.size()));
                break;
            }
        }
        if (expected.size() >= kTagTextSize) {
            expected.clear();
            overlong |= 1u << tag;
        }
        if (expected != found.tags[tag]) {
            return false;
        }
    }
    for (const auto& [key, field] :
         {std::pair<std::string, const char*>{"audio=", found.audioFingerprint},
          {"tags=", found.tagFingerprint}}) {
        std::string expected;
        for (const std::string& line : sectionLines(text, "[FINGERPRINT]", "[/FINGERPRINT]")) {
            if (line.rfind(key, 0) == 0) {
                expected = line.substr(key.size());
                break;
            }
        }
        if (expected.size() != 32 ||
            expected.find_first_not_of("0123456789abcdef") != std::string::npos) {
            expected.clear();
        }
        if (expected != field) {
            return false;
        }
    }
    return overlong == found.overlongTags;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MediaInfo info = {};
    std::strcpy(info.sourcePath, "/In/song.wma");
    info.asked = kProbeTags | kProbeFingerprints;
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
        info.duration != durationOf(seen) || !sameDetails(info.details, seen)) {
        std::abort();
    }
    return 0;
}
