// The size of a plain file from its attributes.
#include "file_size.h"

#include <windows.h>

std::int64_t regularFileSize(const char* path) {
    if (path == nullptr || *path == '\0')
        return -1;
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0)
        return -1;
    return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}
