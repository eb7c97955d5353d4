// The size of a plain file from stat (a link is followed to what it names).
#include "file_size.h"

#include <sys/stat.h>

std::int64_t regularFileSize(const char* path) {
    if (path == nullptr || *path == '\0')
        return -1;
    struct stat info = {};
    if (stat(path, &info) != 0 || !S_ISREG(info.st_mode))
        return -1;
    return static_cast<std::int64_t>(info.st_size);
}
