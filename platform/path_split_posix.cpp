// The standard path splitter on POSIX, where there is no drive and '/' separates.
#include "path_split.h"

#include "path_split_parts.h"

#include <cstring>

int splitPath(const char* path, char* drive, std::size_t driveSize, char* folder,
              std::size_t folderSize, char* baseName, std::size_t baseNameSize, char* extension,
              std::size_t extensionSize) {
    if (path == nullptr) {
        path = "";
    }
    const char* lastSeparator = std::strrchr(path, '/');
    std::size_t nameStart =
        lastSeparator == nullptr ? 0 : static_cast<std::size_t>(lastSeparator + 1 - path);
    return splitPathAt(path, 0, nameStart, drive, driveSize, folder, folderSize, baseName,
                       baseNameSize, extension, extensionSize);
}
