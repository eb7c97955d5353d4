// Bit rate texts as numbers, read without the locale.
#include "bit_rate.h"

#include <charconv>
#include <cstring>

double readKilobits(const char* text) {
    if (text == nullptr) {
        return -1;
    }
    const char* end = text;
    bool digits = false;
    bool point = false;
    for (; (*end >= '0' && *end <= '9') || (*end == '.' && !point); ++end) {
        digits = digits || *end != '.';
        point = point || *end == '.';
    }
    double number = 0;
    if (!digits || std::from_chars(text, end, number).ec != std::errc()) {
        return -1;
    }
    if (std::strcmp(end, "k") == 0 || std::strcmp(end, "K") == 0) {
        return number;
    }
    if (std::strcmp(end, "m") == 0 || std::strcmp(end, "M") == 0) {
        return number * 1000;
    }
    return *end == '\0' ? number / 1000 : -1;
}
