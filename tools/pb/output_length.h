// How long a written file plays, read from what its container records rather than by
// decoding it: the check that an encoder's output holds the whole of what it was given.
#pragma once

#include <string>

// Opens `path` and appends "length=S\n" to `report`: the seconds of its first audio stream
// (six decimals), or "length=N/A" when nothing tells it. The container's own count is
// taken where it keeps one (LAME's frame count, FLAC's sample count, an MP4 track's
// duration, a WAV's data size, an Ogg stream's last position); a raw stream that keeps
// none (ADTS AAC, AC-3, MP2) is measured by its packets' durations, demuxed, not decoded.
// Returns 0, or a libav error code (negative) with nothing appended.
int writeOutputLength(const char* path, std::string* report);
