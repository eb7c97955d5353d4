// The one-line summary of the current profile shown in the Profile combo.
#pragma once

#include <cstddef>

inline constexpr std::size_t kSummaryLineSize = 260;

// Writes the summary line of currentProfile into a buffer of kSummaryLineSize bytes.
// Returns 0.
int profileSummaryLine(char* buffer);
