// Existence of a path as the file system sees it now.
#include "path_exists.h"

#include <sys/stat.h>

bool pathExists(const char* path) {
    if (path == nullptr || *path == '\0') {
        return false;
    }
    struct stat info = {};
    // lstat: a dangling symbolic link still occupies its name.
    return lstat(path, &info) == 0;
}
