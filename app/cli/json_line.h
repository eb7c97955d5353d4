// One JSON object on one line, as --json prints them: strings escaped so that any path,
// valid UTF-8 or not, arrives whole.
#pragma once

#include <string>
#include <string_view>

struct JsonLine {
    std::string text = "{";
};

// `text` as a JSON string, quotes included. Valid UTF-8 is kept as it is; each byte that is
// not part of valid UTF-8 becomes the escape \udcXX of its value XX (80 to ff): the form in
// which Python's file-system decoding holds such a byte (os.fsencode gives the bytes back).
// Control characters, the quote and the backslash are escaped as JSON asks.
std::string jsonString(std::string_view text);

void addJsonString(JsonLine* line, const char* key, std::string_view value);
void addJsonInteger(JsonLine* line, const char* key, long long value);
// Seconds with three decimals, always with a point; null when not a finite number.
void addJsonSeconds(JsonLine* line, const char* key, double seconds);
void addJsonNull(JsonLine* line, const char* key);
void addJsonBool(JsonLine* line, const char* key, bool value);
// The finished object with its newline.
std::string closeJsonLine(JsonLine* line);
