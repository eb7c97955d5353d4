// Bit rate texts read as numbers, the same for the size estimate and for cv.dat.
#include "bit_rate.h"

#include <gtest/gtest.h>

#include <clocale>

namespace {

TEST(BitRate, ReadsKilobitsMegabitsAndBitsAndNothingElse) {
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
    if (comma)
        std::setlocale(LC_ALL, "C");
}

} // namespace
