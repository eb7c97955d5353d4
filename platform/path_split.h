// The standard path splitter: drive, folder, base name and extension.
#pragma once

#include <cstddef>

// Splits `path` into the drive (always empty on POSIX), the folder with its leading and
// trailing separators ("/In/" for "/In/song.wma"), the base name ("song") and the
// extension with its dot (".wma"; a name that starts with its only dot is all
// extension). Any output may be nullptr. Returns 0, or -1 when a part does not fit its
// buffer (then every given buffer is empty).
int splitPath(const char* path, char* drive, std::size_t driveSize, char* folder,
              std::size_t folderSize, char* baseName, std::size_t baseNameSize,
              char* extension, std::size_t extensionSize);
