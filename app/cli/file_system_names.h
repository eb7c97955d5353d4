// Which names the file system of an output folder takes.
#pragma once

#include <cstddef>
#include <string>

enum class NameRules {
    Posix,   // everything but '/' and NUL
    Windows, // FAT, exFAT, NTFS and SMB shares: nor <>:"\|?* or a name ending in '.' or ' '
};

// The longest name (one part of a path) in bytes on every file system Linux writes to.
inline constexpr std::size_t kMaxNameBytes = 255;

// The rules of the file system that holds `folder`, or would hold it once made (its
// nearest existing parent is asked). Posix when it cannot be told.
NameRules nameRulesFor(const std::string& folder);

// True when `c` cannot stand in a name under `rules`.
bool refusedInName(unsigned char c, NameRules rules);
