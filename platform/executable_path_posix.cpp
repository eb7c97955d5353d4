// The executable's folder from /proc/self/exe.
#include "executable_folder.h"

#include <cstring>
#include <limits.h>
#include <unistd.h>

int executableFolder(char* folder, std::size_t size) {
    if (size == 0) {
        return -1;
    }
    folder[0] = '\0';
    char path[PATH_MAX + 1];
    ssize_t length = readlink("/proc/self/exe", path, PATH_MAX);
    if (length <= 0) {
        return -1;
    }
    path[length] = '\0';
    char* lastSeparator = std::strrchr(path, '/');
    if (lastSeparator == nullptr) {
        return -1;
    }
    *lastSeparator = '\0'; // "/usr/bin/nemarro" gives "/usr/bin"; "/nemarro" gives ""
    std::size_t folderLength = static_cast<std::size_t>(lastSeparator - path);
    if (folderLength + 1 > size) {
        return -1;
    }
    std::memcpy(folder, path, folderLength + 1);
    return 0;
}
