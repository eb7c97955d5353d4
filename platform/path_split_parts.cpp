// Copying the drive, folder, base name and extension out of a path, all or nothing.
#include "path_split_parts.h"

#include <cstring>

namespace {
// Copies `length` bytes of `from` into `to` with a terminator; false when it does not fit.
bool copyPart(char* to, std::size_t size, const char* from, std::size_t length) {
    if (to == nullptr) {
        return true;
    }
    if (length + 1 > size) {
        return false;
    }
    std::memcpy(to, from, length);
    to[length] = '\0';
    return true;
}

void clearPart(char* part, std::size_t size) {
    if (part != nullptr && size > 0) {
        part[0] = '\0';
    }
}
} // namespace

int splitPathAt(const char* path, std::size_t driveLength, std::size_t nameStart, char* drive,
                std::size_t driveSize, char* folder, std::size_t folderSize, char* baseName,
                std::size_t baseNameSize, char* extension, std::size_t extensionSize) {
    const char* name = path + nameStart;
    const char* dot = std::strrchr(name, '.');
    const char* nameEnd = name + std::strlen(name);
    const char* baseEnd = dot == nullptr ? nameEnd : dot;
    bool fits =
        copyPart(drive, driveSize, path, driveLength) &&
        copyPart(folder, folderSize, path + driveLength, nameStart - driveLength) &&
        copyPart(baseName, baseNameSize, name, static_cast<std::size_t>(baseEnd - name)) &&
        copyPart(extension, extensionSize, baseEnd, static_cast<std::size_t>(nameEnd - baseEnd));
    if (!fits) {
        clearPart(drive, driveSize);
        clearPart(folder, folderSize);
        clearPart(baseName, baseNameSize);
        clearPart(extension, extensionSize);
        return -1;
    }
    return 0;
}
