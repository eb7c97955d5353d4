// The tags a name or a copy is made from, written as one "[TAGS]" section.
#pragma once

#include <string>

struct AVFormatContext;

// Appends "[TAGS]", one "key=value" line for each of artist, albumartist, album, title,
// track, disc, date and genre the file has (the container's own tags first, then those of
// its first sound stream), and "[/TAGS]". A value is escaped so that it stays on its one
// line: a backslash is written "\\", a line feed "\n", a carriage return "\r" and any
// other control byte "\xHH"; every other byte is written as it is.
void writeTagSection(const AVFormatContext* context, std::string* report);
