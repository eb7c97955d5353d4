// Decoding a written file's sound in full, to prove that it plays from start to end and
// holds as many samples as the encoder was given.
#pragma once

#include <string>

// Decodes the first audio stream of `path` to its end and appends to `report`:
//   samples=N        frames of sound decoded (per channel), after the codec's own
//                    trimming of its priming and padding
//   sample_rate=R
//   duration=S       N / R in seconds, six decimals
//   errors=E         packets that failed to demux or decode, and frames flagged corrupt
//   first_error=...  libav's words for the first of them (only when E > 0)
// `progress` is called after every packet, so a caller can tell a long decode from a
// hung one. Returns 0, or a libav error code (negative) when the file cannot be opened
// or has no sound to decode, with nothing appended.
int writeDecodedAudio(const char* path, std::string* report, void (*progress)());
