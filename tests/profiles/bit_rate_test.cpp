// Bit rate texts read as numbers, the same for the size estimate and for cv.dat.
#include "bit_rate.h"

#include <gtest/gtest.h>

#include <clocale>
#include <tuple>

namespace {

TEST(BitRate, ReadsKilobitsMegabitsBitsAndQualityLevelsAndNothingElse) {
    // A decimal-comma locale must not change the point.
    const bool comma = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    const std::pair<const char*, double> rows[] = {
        {"128K", 128}, {"6.7k", 6.7}, {"1.5M", 1500}, {"64000", 64}, {"0K", 0},
        {".5K", 0.5},  {"Auto", -1},  {"auto", -1},   {"", -1},      {"128 K", -1},
        {"128Kb", -1}, {"-8K", -1},   {"1.2.3K", -1}, {"K", -1},     {".K", -1},
    };
    for (const auto& [text, kilobits] : rows)
        EXPECT_DOUBLE_EQ(readKilobits(text), kilobits) << text;
    EXPECT_EQ(readKilobits(nullptr), -1);
    // Quality levels: LAME's V0 to V9 and an encoder's own scale after "Q", each counted at
    // its typical rate; a rate is counted as itself.
    const std::tuple<const char*, double, double> levels[] = {
        {"V0", 0, 245},    {"V2", 2, 190},       {"V9", 9, 65},   {"Q1", 1, 120},
        {"Q0.5", 0.5, 75}, {"Q1.25", 1.25, 170}, {"Q9", 9, 320},  {"V10", -1, -1},
        {"V", -1, -1},     {"v2", -1, -1},       {"Q", -1, -1},   {"Q1x", -1, -1},
        {"Q-1", -1, -1},   {"128K", -1, 128},    {"Auto", -1, -1}};
    for (const auto& [text, level, kilobits] : levels) {
        EXPECT_DOUBLE_EQ(readQualityLevel(text), level) << text;
        EXPECT_DOUBLE_EQ(typicalKilobits(text), kilobits) << text;
    }
    EXPECT_EQ(typicalKilobits(nullptr), -1);
    if (comma)
        std::setlocale(LC_ALL, "C");
}

} // namespace
