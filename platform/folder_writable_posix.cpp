// The writability test of a folder: an exclusive create of a file nobody else names.
#include "folder_writable.h"

#include "path_separator.h"

#include <atomic>
#include <cerrno>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace {
// Different names on every try, so that a clash with any file (a left-over test file
// of a crashed run, or anything of the user's) only means trying the next name.
std::string writeTestName(const std::string& base) {
    static std::atomic<unsigned> counter{0};
    return base + ".nemarro-write-test-" + std::to_string(getpid()) + "-" +
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
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            close(fd);
            unlink(name.c_str());
            return true;
        }
        if (errno != EEXIST)
            return false; // not a name clash: the folder refuses new files
    }
    return false;
}
