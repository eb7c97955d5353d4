// Regular-file check on POSIX: stat never opens the path, so a named pipe with no
// writer or a terminal cannot block it.
#include "regular_file.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

const char* whyNotARegularFile(const char* path) {
    struct stat info {};
    if (stat(path, &info) != 0) {
        return std::strerror(errno);
    }
    if (S_ISREG(info.st_mode)) {
        return nullptr;
    }
    if (S_ISDIR(info.st_mode)) {
        return "it is a folder";
    }
    if (S_ISFIFO(info.st_mode)) {
        return "it is a named pipe";
    }
    if (S_ISSOCK(info.st_mode)) {
        return "it is a socket";
    }
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) {
        return "it is a device";
    }
    return "it is not a regular file";
}
