// What the prober reports beyond a file's length when asked: the tags a copy is named
// and tagged from, and the fingerprints a copy of a library is judged by.
#pragma once

#include <cstddef>
#include <cstdint>

// The tags, in the order of their fields.
enum MediaTag : int {
    kTagArtist,
    kTagAlbumArtist,
    kTagAlbum,
    kTagTitle,
    kTagTrack,
    kTagDisc,
    kTagDate,
    kTagGenre,
    kTagCount,
};
// The prober's key of each tag: "artist", "albumartist", "album", "title", "track",
// "disc", "date", "genre".
extern const char* const kMediaTagKeys[kTagCount];

// A tag is a line of text; longer values are no name's or tag's business (a file name has
// at most 255 bytes), and a value that does not fit is left empty, never cut.
inline constexpr std::size_t kTagTextSize = 1024;
// 32 hex digits: a 128-bit hash.
inline constexpr std::size_t kFingerprintSize = 33;

struct MediaDetails {
    char tags[kTagCount][kTagTextSize];      // "" when the file has no such tag
    uint32_t overlongTags;                   // bit (1 << tag) for each value left empty as too long
    char audioFingerprint[kFingerprintSize]; // "" when none was reported
    char tagFingerprint[kFingerprintSize];
};

// Reads the "[TAGS]" and "[FINGERPRINT]" sections of a prober's whole report into
// `details` (cleared first). A section starts at the first line that begins with its
// marker and ends at the line that begins with "[/TAGS]" or "[/FINGERPRINT]" (or the end
// of the report); lines end at a line feed or a carriage return. In it, the first line
// "key=value" of each key sets its field. A tag's value is unescaped:
// "\\", "\n", "\r" and "\xHH" (two hex digits, not "00") give a backslash, a line feed, a
// carriage return and that byte; any other backslash stands for itself. A fingerprint is
// taken only when it is exactly 32 lowercase hex digits.
void readMediaDetails(const char* report, MediaDetails* details);
