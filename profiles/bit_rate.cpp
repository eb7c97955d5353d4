// Bit rate texts as numbers, read without the locale.
#include "bit_rate.h"

#include <charconv>
#include <cstddef>
#include <cstring>
#include <iterator>

namespace {

// The decimal number of digits and at most one point at the start of `text` (`end` set
// behind it); -1 when there is none.
double readPlainNumber(const char* text, const char** end) {
    *end = text;
    bool digits = false;
    bool point = false;
    for (; (**end >= '0' && **end <= '9') || (**end == '.' && !point); ++*end) {
        digits = digits || **end != '.';
        point = point || **end == '.';
    }
    double number = 0;
    if (!digits || std::from_chars(text, *end, number).ec != std::errc()) {
        return -1;
    }
    return number;
}

// LAME's own figures for its levels V0 to V9: the average rate of pop and rock music.
constexpr double kLameLevelKilobits[] = {245, 225, 190, 175, 165, 130, 115, 100, 85, 65};

// ffmpeg's AAC encoder at its quality levels, measured over a mix of tones and noise:
// its rate climbs slowly to Q1 and steeply above it.
struct QualityRate {
    double level;
    double kilobits;
};
constexpr QualityRate kAacQualityKilobits[] = {{0.1, 30},  {0.5, 75}, {0.8, 100}, {1, 120},
                                               {1.5, 220}, {2, 250},  {5, 320}};

double aacQualityKilobits(double level) {
    if (level <= kAacQualityKilobits[0].level) {
        return kAacQualityKilobits[0].kilobits;
    }
    for (std::size_t i = 1; i < std::size(kAacQualityKilobits); ++i) {
        const QualityRate& low = kAacQualityKilobits[i - 1];
        const QualityRate& high = kAacQualityKilobits[i];
        if (level <= high.level) {
            return low.kilobits +
                   (level - low.level) / (high.level - low.level) * (high.kilobits - low.kilobits);
        }
    }
    return kAacQualityKilobits[std::size(kAacQualityKilobits) - 1].kilobits;
}

} // namespace

double readKilobits(const char* text) {
    if (text == nullptr) {
        return -1;
    }
    const char* end = text;
    const double number = readPlainNumber(text, &end);
    if (number < 0) {
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

double readQualityLevel(const char* text) {
    if (text == nullptr) {
        return -1;
    }
    if (text[0] == 'V' && text[1] >= '0' && text[1] <= '9' && text[2] == '\0') {
        return text[1] - '0';
    }
    const char* end = text;
    const double level = text[0] == 'Q' ? readPlainNumber(text + 1, &end) : -1;
    return level >= 0 && *end == '\0' ? level : -1;
}

double typicalKilobits(const char* text) {
    const double level = readQualityLevel(text);
    if (level < 0) {
        return readKilobits(text);
    }
    return text[0] == 'V' ? kLameLevelKilobits[static_cast<int>(level)] : aacQualityKilobits(level);
}
