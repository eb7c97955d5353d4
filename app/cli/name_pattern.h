// --name PATTERN: an output's path below its folder made from the source's tags, e.g.
// "{albumartist}/{album}/{track:02} - {title}". The fields are {artist}, {albumartist},
// {album}, {title}, {track}, {disc}, {date} and {genre}; {track:0N} and {disc:0N} pad the
// number with zeros to N digits. A '/' of the pattern makes a folder; a '/' inside a tag
// never does.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "file_system_names.h"
#include "media_details.h"

// A source's tag values, "" where it has none, as the prober read them.
struct TagValues {
    std::string artist;
    std::string albumArtist;
    std::string album;
    std::string title;
    std::string track; // as tagged: "7", "07" or "7/12"
    std::string disc;
    std::string date;
    std::string genre;
};

// The tags the prober read into `details` (asked with kProbeTags).
TagValues tagValuesOf(const MediaDetails& details);

enum class NameField { Artist, AlbumArtist, Album, Title, Track, Disc, Date, Genre };

struct NamePiece {
    bool isField = false;
    std::string literal; // the pattern's own text, when not a field
    NameField field = NameField::Title;
    int width = 0; // {track:02}: the number padded with zeros to this many digits
};

struct NamePattern {
    std::string text; // as given: a mirror's manifest records it with each output
    std::vector<NamePiece> pieces;
};

// Reads `text`. Refused, with `error` saying why: an empty pattern, one that begins or ends
// with '/' or holds an empty, "." or ".." folder (the name must stay below its folder), an
// unknown field or a brace that opens none, a width on a field other than track and disc.
bool parseNamePattern(std::string_view text, NamePattern* pattern, std::string* error);

// The path below the output folder, '/'-separated, without the extension: folders, then the
// base name. A missing title is `sourceBaseName`; other missing fields are "Unknown Artist"
// (the album artist falls back to the artist first), "Unknown Album", "Unknown Date",
// "Unknown Genre", and 0 for track and disc. Inside a field, a '/', a control character and
// a character `rules` refuses become '_'. Each part of the path is then made one the file
// system takes: a leading '.' becomes '_' (no hidden or "." / ".." parts), and a part
// longer than a name may be is shortened at a character's boundary.
std::string expandNamePattern(const NamePattern& pattern, const TagValues& tags,
                              std::string_view sourceBaseName, NameRules rules);
