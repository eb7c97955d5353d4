// Reading the prober's tags and fingerprints sections: each value on its own key's line,
// tags unescaped into their fixed fields.
#include "media_details.h"

#include <cstring>

const char* const kMediaTagKeys[kTagCount] = {"artist", "albumartist", "album", "title",
                                              "track",  "disc",        "date",  "genre"};

namespace {

bool isLineBreak(char c) {
    return c == '\n' || c == '\r';
}

// The end of the line that starts at `line`.
const char* lineEnd(const char* line) {
    while (*line != '\0' && !isLineBreak(*line)) {
        ++line;
    }
    return line;
}

bool startsWith(const char* line, const char* end, const char* prefix) {
    const std::size_t length = std::strlen(prefix);
    return static_cast<std::size_t>(end - line) >= length && std::memcmp(line, prefix, length) == 0;
}

// Calls `take` with each line (start, end) of the section that the first line beginning
// with `marker` opens, up to the line beginning with `closing` or the end of the report.
template <typename Take>
void forEachLineOf(const char* report, const char* marker, const char* closing, Take take) {
    bool inside = false;
    for (const char* line = report; *line != '\0';) {
        const char* end = lineEnd(line);
        if (!inside) {
            inside = startsWith(line, end, marker);
        } else if (startsWith(line, end, closing)) {
            return;
        } else {
            take(line, end);
        }
        line = *end == '\0' ? end : end + 1;
    }
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Unescapes [value, end) into `field`; false (field empty) when it does not fit.
bool unescape(const char* value, const char* end, char* field) {
    std::size_t at = 0;
    for (const char* p = value; p < end; ++p) {
        char c = *p;
        if (c == '\\' && p + 1 < end) {
            const char next = p[1];
            if (next == '\\' || next == 'n' || next == 'r') {
                c = next == 'n' ? '\n' : next == 'r' ? '\r' : '\\';
                ++p;
            } else if (next == 'x' && p + 3 < end && hexDigit(p[2]) >= 0 && hexDigit(p[3]) >= 0 &&
                       (hexDigit(p[2]) | hexDigit(p[3])) != 0) {
                c = static_cast<char>(hexDigit(p[2]) * 16 + hexDigit(p[3]));
                p += 3;
            }
        }
        if (at + 1 >= kTagTextSize) {
            field[0] = '\0';
            return false;
        }
        field[at++] = c;
    }
    field[at] = '\0';
    return true;
}

void readFingerprint(const char* value, const char* end, char* field) {
    if (end - value != static_cast<std::ptrdiff_t>(kFingerprintSize - 1)) {
        return;
    }
    for (const char* p = value; p < end; ++p) {
        if (!((*p >= '0' && *p <= '9') || (*p >= 'a' && *p <= 'f'))) {
            return;
        }
    }
    std::memcpy(field, value, kFingerprintSize - 1);
    field[kFingerprintSize - 1] = '\0';
}

} // namespace

void readMediaDetails(const char* report, MediaDetails* details) {
    std::memset(details, 0, sizeof *details);
    uint32_t seen = 0;
    forEachLineOf(report, "[TAGS]", "[/TAGS]", [&](const char* line, const char* end) {
        for (int tag = 0; tag < kTagCount; ++tag) {
            const std::size_t keyLength = std::strlen(kMediaTagKeys[tag]);
            if ((seen & (1u << tag)) == 0 && startsWith(line, end, kMediaTagKeys[tag]) &&
                line + keyLength < end && line[keyLength] == '=') {
                seen |= 1u << tag;
                if (!unescape(line + keyLength + 1, end, details->tags[tag])) {
                    details->overlongTags |= 1u << tag;
                }
                return;
            }
        }
    });
    bool audioSeen = false;
    bool tagsSeen = false;
    forEachLineOf(report, "[FINGERPRINT]", "[/FINGERPRINT]",
                  [&](const char* line, const char* end) {
                      if (!audioSeen && startsWith(line, end, "audio=")) {
                          audioSeen = true;
                          readFingerprint(line + 6, end, details->audioFingerprint);
                      } else if (!tagsSeen && startsWith(line, end, "tags=")) {
                          tagsSeen = true;
                          readFingerprint(line + 5, end, details->tagFingerprint);
                      }
                  });
}
