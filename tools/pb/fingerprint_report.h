// Two fingerprints of a media file, read without decoding: one of its sound, one of its
// tags and cover. A copy of a library is judged by them: the same sound with other tags
// is re-tagged, other sound is converted again, the same sound at a new path has moved.
#pragma once

#include <string>

struct AVFormatContext;

// Reads every packet of the opened file and appends "[FINGERPRINT]", "audio=" and "tags="
// each followed by 32 lowercase hex digits (a 128-bit MurmurHash3), and "[/FINGERPRINT]".
// The audio one covers each sound stream's codec, rate and channel count and the bytes of
// its packets, so where the tags sit in the file (and how long they are) does not change
// it; the tags one covers the container's and the streams' tags and the bytes of an
// attached cover picture. A read error ends the packets there, as it ends ffmpeg's input.
// Returns 0, or a libav error code (negative) with nothing appended.
int writeFingerprintSection(AVFormatContext* context, std::string* report);
