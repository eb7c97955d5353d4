// Renaming on POSIX: renameat2 with RENAME_NOREPLACE where the file system takes it, else
// a hard link (which fails when the name is taken) and unlink, else, on file systems with
// neither (FAT on a USB stick), a look and a rename.
#include "file_rename.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int renameWithoutReplacing(const char* from, const char* to) {
    if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) {
        return kRenameDone;
    }
    if (errno == EEXIST) {
        return kRenameTargetExists;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return kRenameFailed;
    }
    if (link(from, to) == 0) {
        unlink(from);
        return kRenameDone;
    }
    if (errno == EEXIST) {
        return kRenameTargetExists;
    }
    struct stat info {};
    if (lstat(to, &info) == 0) {
        return kRenameTargetExists;
    }
    return std::rename(from, to) == 0 ? kRenameDone : kRenameFailed;
}

int renameReplacing(const char* from, const char* to) {
    return std::rename(from, to) == 0 ? kRenameDone : kRenameFailed;
}
