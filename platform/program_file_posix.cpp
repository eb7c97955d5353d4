// A program file's state from stat and access.
#include "program_file.h"

#include <sys/stat.h>
#include <unistd.h>

ProgramFile programFileState(const char* path) {
    struct stat info = {};
    if (path == nullptr || *path == '\0' || stat(path, &info) != 0) {
        return ProgramFile::Missing;
    }
    if (!S_ISREG(info.st_mode) || access(path, X_OK) != 0) {
        return ProgramFile::NotRunnable;
    }
    return ProgramFile::Runnable;
}
