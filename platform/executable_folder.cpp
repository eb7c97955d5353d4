// The executable's folder: its own path without the last separator and what follows.
#include "executable_folder.h"

#include "executable_path.h"
#include "path_limits.h"
#include "path_separator.h"

#include <cstring>

int executableFolder(char* folder, std::size_t size) {
    if (size == 0) {
        return -1;
    }
    folder[0] = '\0';
    char path[kPathSize + 1]; // the system's longest path (PATH_MAX, MAX_PATH) and one byte
    if (executablePath(path, sizeof path) != 0) {
        return -1;
    }
    char* lastSeparator = std::strrchr(path, kPathSeparator);
    if (lastSeparator == nullptr) {
        return -1;
    }
    // "/usr/bin/nemarro" gives "/usr/bin" and "/nemarro" gives ""; "C:\App\nemarro.exe"
    // gives "C:\App" and "C:\nemarro.exe" gives "C:".
    *lastSeparator = '\0';
    std::size_t folderLength = static_cast<std::size_t>(lastSeparator - path);
    if (folderLength + 1 > size) {
        return -1;
    }
    std::memcpy(folder, path, folderLength + 1);
    return 0;
}
