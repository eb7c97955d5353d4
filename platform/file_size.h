// The size of a plain file, as the file system sees it now.
#pragma once

#include <cstdint>

// Bytes in the regular file at `path`; -1 when nothing is there or it is no regular file
// (a folder, a device).
std::int64_t regularFileSize(const char* path);
