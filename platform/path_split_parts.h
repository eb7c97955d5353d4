// The part of path splitting that every platform shares: once the platform has found
// where the drive and the folder end, the rest is the same.
#pragma once

#include <cstddef>

// Splits `path` whose drive is its first `driveLength` bytes and whose folder runs from
// there up to `nameStart`; the outputs and the result are those of splitPath.
int splitPathAt(const char* path, std::size_t driveLength, std::size_t nameStart, char* drive,
                std::size_t driveSize, char* folder, std::size_t folderSize, char* baseName,
                std::size_t baseNameSize, char* extension, std::size_t extensionSize);
