// Writing --json's lines.
#include "json_line.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

// The length of the valid UTF-8 sequence at the start of `text`, or 0: no overlong forms,
// no encoded surrogates, nothing above U+10FFFF.
std::size_t utf8Length(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80; // the second byte's range, narrowed for a few leads
    unsigned char high = 0xbf;
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        low = lead == 0xe0 ? 0xa0 : 0x80;
        high = lead == 0xed ? 0x9f : 0xbf;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        low = lead == 0xf0 ? 0x90 : 0x80;
        high = lead == 0xf4 ? 0x8f : 0xbf;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xbf) {
            return 0;
        }
    }
    return length;
}

void addKey(JsonLine* line, const char* key) {
    if (line->text.size() > 1) {
        line->text += ", ";
    }
    line->text += jsonString(key);
    line->text += ": ";
}

} // namespace

std::string jsonString(std::string_view text) {
    std::string out = "\"";
    char escape[8];
    while (!text.empty()) {
        const unsigned char c = static_cast<unsigned char>(text[0]);
        const std::size_t length = utf8Length(text);
        if (length == 0) {
            std::snprintf(escape, sizeof escape, "\\udc%02x", c);
            out += escape;
            text.remove_prefix(1);
            continue;
        }
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c < 0x20) {
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out.append(text.substr(0, length));
        }
        text.remove_prefix(length);
    }
    return out + "\"";
}

void addJsonString(JsonLine* line, const char* key, std::string_view value) {
    addKey(line, key);
    line->text += jsonString(value);
}

void addJsonInteger(JsonLine* line, const char* key, long long value) {
    addKey(line, key);
    line->text += std::to_string(value);
}

void addJsonSeconds(JsonLine* line, const char* key, double seconds) {
    addKey(line, key);
    if (!std::isfinite(seconds)) {
        line->text += "null";
        return;
    }
    // to_chars keeps the point whatever the locale says.
    char number[64];
    const auto written =
        std::to_chars(number, number + sizeof number, seconds, std::chars_format::fixed, 3);
    if (written.ec == std::errc()) {
        line->text.append(number, written.ptr);
    } else {
        line->text += "null"; // a length beyond any sound (over 10^60 s)
    }
}

void addJsonNull(JsonLine* line, const char* key) {
    addKey(line, key);
    line->text += "null";
}

void addJsonBool(JsonLine* line, const char* key, bool value) {
    addKey(line, key);
    line->text += value ? "true" : "false";
}

std::string closeJsonLine(JsonLine* line) {
    return line->text + "}\n";
}
