// A packed list of texts: "Stereo\0 Auto\0 Mono\0" (the literal's own NUL ends it).
// Every entry is followed by a NUL, every entry after the first begins with one
// space, and the list ends at the first NUL that is not followed by a space.
#pragma once

using ChoiceList = const char*;

// The text of entry `index`, pointing into the list itself, or nullptr when the
// list is absent or empty or the index is negative or past the last entry.
const char* choiceListEntry(ChoiceList list, int index);

// Number of entries in the list (0 for an absent or empty list).
int choiceListCount(ChoiceList list);
