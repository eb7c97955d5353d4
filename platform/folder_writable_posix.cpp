// The writability test of a folder: an exclusive create of a file nobody else names.
#include "folder_writable.h"

#include <atomic>
#include <cerrno>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace {
// Different names on every try, so that a clash with any file (a left-over test file
// of a crashed run, or anything of the user's) only means trying the next name.
std::string writeTestName() {
    static std::atomic<unsigned> counter{0};
    return ".nemarro-write-test-" + std::to_string(getpid()) + "-" +
           std::to_string(counter.fetch_add(1)) + ".tmp";
}

#ifdef O_PATH
constexpr int kFolderOnly = O_PATH | O_DIRECTORY | O_CLOEXEC; // a folder we may not list
#else
constexpr int kFolderOnly = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif
} // namespace

bool folderIsWritable(const char* folder) {
    if (folder == nullptr || *folder == '\0')
        return false;
    // The test file is named relative to the open folder: a folder whose path is as long
    // as a path may be, with no room left for the name, is tested all the same.
    const int folderFd = open(folder, kFolderOnly);
    if (folderFd < 0)
        return false;
    bool writable = false;
    constexpr int kTries = 16;
    for (int attempt = 0; attempt < kTries; ++attempt) {
        const std::string name = writeTestName();
        const int fd =
            openat(folderFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            close(fd);
            unlinkat(folderFd, name.c_str(), 0);
            writable = true;
            break;
        }
        if (errno != EEXIST)
            break; // not a name clash: the folder refuses new files
    }
    close(folderFd);
    return writable;
}
