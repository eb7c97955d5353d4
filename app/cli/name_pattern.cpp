// Reading a --name pattern and making an output's path from it and a source's tags.
#include "name_pattern.h"

#include <algorithm>
#include <cstring>

namespace {

struct FieldName {
    const char* name;
    NameField field;
};
constexpr FieldName kFields[] = {
    {"artist", NameField::Artist}, {"albumartist", NameField::AlbumArtist},
    {"album", NameField::Album},   {"title", NameField::Title},
    {"track", NameField::Track},   {"disc", NameField::Disc},
    {"date", NameField::Date},     {"genre", NameField::Genre},
};

// Room the last part of the path keeps for what follows its base name: the extension (31
// bytes at most), a counter "(N)" of up to 12 and the temporary name's prefix while it is
// written.
constexpr std::size_t kBaseNameReserve = 64;

std::string trimmed(std::string_view text) {
    const char* blanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) {
        return "";
    }
    return std::string(text.substr(first, text.find_last_not_of(blanks) - first + 1));
}

// The number of a track or disc tag: "7/12" is 7. Padded to `width` when it is digits.
std::string numberValue(const std::string& tag, int width) {
    std::string number = trimmed(tag.substr(0, tag.find('/')));
    if (number.empty()) {
        number = "0";
    }
    const bool digits =
        std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (digits && number.size() < std::size_t(width)) {
        number.insert(0, std::size_t(width) - number.size(), '0');
    }
    return number;
}

std::string fieldValue(const NamePiece& piece, const TagValues& tags,
                       std::string_view sourceBaseName) {
    const auto orElse = [](const std::string& tag, std::string_view fallback) {
        std::string value = trimmed(tag);
        return value.empty() ? std::string(fallback) : value;
    };
    switch (piece.field) {
    case NameField::Artist:
        return orElse(tags.artist, "Unknown Artist");
    case NameField::AlbumArtist:
        return orElse(tags.albumArtist, orElse(tags.artist, "Unknown Artist"));
    case NameField::Album:
        return orElse(tags.album, "Unknown Album");
    case NameField::Title:
        return orElse(tags.title, sourceBaseName);
    case NameField::Track:
        return numberValue(tags.track, piece.width);
    case NameField::Disc:
        return numberValue(tags.disc, piece.width);
    case NameField::Date:
        return orElse(tags.date, "Unknown Date");
    case NameField::Genre:
        return orElse(tags.genre, "Unknown Genre");
    }
    return "";
}

// A part of the path made one the file system takes: at most `limit` bytes, cut where a
// character begins; not hidden (nor "." or ".."); under Windows' rules, not ending in a
// dot or a blank.
std::string fittedPart(std::string part, std::size_t limit, NameRules rules) {
    if (part.size() > limit) {
        std::size_t cut = limit;
        while (cut > 0 && (static_cast<unsigned char>(part[cut]) & 0xc0) == 0x80) {
            --cut;
        }
        part.resize(cut);
    }
    if (part.empty() || part[0] == '.') {
        part = part.empty() ? "_" : "_" + part.substr(1);
    }
    for (std::size_t i = part.size();
         rules == NameRules::Windows && i-- > 0 && (part[i] == '.' || part[i] == ' ');) {
        part[i] = '_';
    }
    return part;
}

bool readField(std::string_view inside, NamePiece* piece, std::string* error) {
    const std::size_t colon = inside.find(':');
    const std::string_view name = inside.substr(0, colon);
    const FieldName* found =
        std::find_if(std::begin(kFields), std::end(kFields),
                     [&](const FieldName& field) { return name == field.name; });
    if (found == std::end(kFields)) {
        *error = "--name has no field {" + std::string(inside) +
                 "}; the fields are {artist}, {albumartist}, {album}, {title}, {track}, "
                 "{disc}, {date}, {genre}, and {track:02} pads";
        return false;
    }
    piece->isField = true;
    piece->field = found->field;
    if (colon == std::string_view::npos) {
        return true;
    }
    const std::string_view width = inside.substr(colon + 1);
    const bool numbered = found->field == NameField::Track || found->field == NameField::Disc;
    if (!numbered || width.size() != 2 || width[0] != '0' || width[1] < '1' || width[1] > '9') {
        *error = "--name pads only {track} and {disc}, with :01 to :09, not {" +
                 std::string(inside) + "}";
        return false;
    }
    piece->width = width[1] - '0';
    return true;
}

} // namespace

TagValues tagValuesOf(const MediaDetails& details) {
    const auto(&tags)[kTagCount][kTagTextSize] = details.tags;
    return TagValues{tags[kTagArtist], tags[kTagAlbumArtist], tags[kTagAlbum], tags[kTagTitle],
                     tags[kTagTrack],  tags[kTagDisc],        tags[kTagDate],  tags[kTagGenre]};
}

bool parseNamePattern(std::string_view text, NamePattern* pattern, std::string* error) {
    pattern->text = text;
    pattern->pieces.clear();
    // The folders the pattern's own '/' make: none may be empty, "." or "..".
    std::string_view rest = text;
    for (;;) {
        const std::size_t slash = rest.find('/');
        const std::string_view part = rest.substr(0, slash);
        if (part.empty() || part == "." || part == "..") {
            *error = "--name makes a path below the output folder: \"" + std::string(text) +
                     "\" has an empty, \".\" or \"..\" part";
            return false;
        }
        if (slash == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(slash + 1);
    }
    while (!text.empty()) {
        NamePiece piece;
        const std::size_t open = text.find_first_of("{}");
        if (open != 0) {
            piece.literal = std::string(text.substr(0, open));
            text.remove_prefix(open == std::string_view::npos ? text.size() : open);
        } else {
            const std::size_t close = text.find('}');
            if (text[0] == '}' || close == std::string_view::npos) {
                *error = "--name: a brace that opens no field in \"" + std::string(text) + "\"";
                return false;
            }
            if (!readField(text.substr(1, close - 1), &piece, error)) {
                return false;
            }
            text.remove_prefix(close + 1);
        }
        pattern->pieces.push_back(piece);
    }
    return true;
}

std::string expandNamePattern(const NamePattern& pattern, const TagValues& tags,
                              std::string_view sourceBaseName, NameRules rules) {
    std::string path;
    for (const NamePiece& piece : pattern.pieces) {
        if (!piece.isField) {
            path += piece.literal;
            continue;
        }
        for (const char c : fieldValue(piece, tags, sourceBaseName)) {
            const unsigned char byte = static_cast<unsigned char>(c);
            path += refusedInName(byte, rules) || byte < 0x20 || byte == 0x7f ? '_' : c;
        }
    }
    std::string fitted;
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = path.find('/', start);
        const bool last = slash == std::string::npos;
        const std::size_t limit = last ? kMaxNameBytes - kBaseNameReserve : kMaxNameBytes;
        fitted +=
            fittedPart(path.substr(start, last ? std::string::npos : slash - start), limit, rules);
        if (last) {
            return fitted;
        }
        fitted += '/';
        start = slash + 1;
    }
}
