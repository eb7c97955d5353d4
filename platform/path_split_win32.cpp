// The standard path splitter on Windows: a drive letter with its colon, and both '\' and
// '/' separating folders ("C:\In/song.wma" is drive "C:", folder "\In/").
#include "path_split.h"

#include "path_split_parts.h"

#include <cstring>

int splitPath(const char* path, char* drive, std::size_t driveSize, char* folder,
              std::size_t folderSize, char* baseName, std::size_t baseNameSize, char* extension,
              std::size_t extensionSize) {
    if (path == nullptr) {
        path = "";
    }
    char first = path[0];
    bool hasDrive =
        ((first >= 'A' && first <= 'Z') || (first >= 'a' && first <= 'z')) && path[1] == ':';
    std::size_t driveLength = hasDrive ? 2 : 0;
    std::size_t nameStart = driveLength;
    for (std::size_t i = driveLength; path[i] != '\0'; ++i) {
        if (path[i] == '\\' || path[i] == '/') {
            nameStart = i + 1;
        }
    }
    return splitPathAt(path, driveLength, nameStart, drive, driveSize, folder, folderSize, baseName,
                       baseNameSize, extension, extensionSize);
}
