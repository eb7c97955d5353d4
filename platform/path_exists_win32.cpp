// Existence of a path as the file system sees it now.
#include "path_exists.h"

#include <windows.h>

bool pathExists(const char* path) {
    if (path == nullptr || *path == '\0') {
        return false;
    }
    // The attributes of the name itself: a link whose target is gone still occupies it.
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}
