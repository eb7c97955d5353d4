// The writability test of a folder: an exclusive create of a file nobody else names,
// deleted by the system when its handle closes.
#include "folder_writable.h"

#include "path_separator.h"

#include <atomic>
#include <string>

#include <windows.h>

namespace {
// Different names on every try, so that a clash with any file (a left-over test file
// of a crashed run, or anything of the user's) only means trying the next name.
std::string writeTestName(const std::string& base) {
    static std::atomic<unsigned> counter{0};
    return base + ".nemarro-write-test-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(counter.fetch_add(1)) + ".tmp";
}
} // namespace

bool folderIsWritable(const char* folder) {
    if (folder == nullptr || *folder == '\0')
        return false;
    std::string base = folder;
    if (!isPathSeparator(base.back()))
        base += kPathSeparator;
    constexpr int kTries = 16;
    for (int attempt = 0; attempt < kTries; ++attempt) {
        const std::string name = writeTestName(base);
        HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            return true;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            return false; // not a name clash: the folder refuses new files
    }
    return false;
}
