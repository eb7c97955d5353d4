// The mirror's lock: flock on a file in its hidden folder. The kernel lets it go when the
// holder ends in any way, kill -9 included, so a crash never leaves a mirror locked; the
// file keeps the holder's process id only to name it in the message.
#include "mirror_lock.h"

#include "sync_manifest.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

struct MirrorLock {
    int descriptor;
    int shareDescriptor; // a sharded sync's own lock, or -1
};

namespace {

// Opens `path` and locks it with `operation` (LOCK_EX or LOCK_SH), not waiting: the
// descriptor, or -1 with `error` saying why (when held: `holder`, its process id when it
// left one, then `doing`).
int takeLock(const std::string& path, int operation, const std::string& holder,
             const std::string& doing, std::string* error) {
    const int descriptor = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (descriptor < 0) {
        *error = "cannot open " + path + ": " + std::strerror(errno);
        return -1;
    }
    if (flock(descriptor, operation | LOCK_NB) != 0) {
        const int why = errno;
        char pid[32] = "";
        const ssize_t got = pread(descriptor, pid, sizeof pid - 1, 0);
        pid[got > 0 ? got : 0] = '\0';
        pid[std::strcspn(pid, "\n")] = '\0';
        close(descriptor);
        if (why == EWOULDBLOCK) {
            *error = holder + (pid[0] != '\0' ? std::string(" (process ") + pid + ")" : "") +
                     doing + "; nothing was changed, try again when it has ended";
        } else {
            *error = "cannot lock " + path + ": " + std::strerror(why);
        }
        return -1;
    }
    if (operation == LOCK_EX) {
        char pid[32];
        const int length = std::snprintf(pid, sizeof pid, "%ld\n", static_cast<long>(getpid()));
        // The id is a courtesy for the message; a lock whose file cannot be written still holds.
        if (ftruncate(descriptor, 0) == 0) {
            const ssize_t ignored = pwrite(descriptor, pid, static_cast<std::size_t>(length), 0);
            (void)ignored;
        }
    }
    return descriptor;
}

std::string lockPath(const std::string& mirror, const std::string& name) {
    return mirror + "/" + kMirrorStateFolder + "/" + name;
}

} // namespace

MirrorLock* lockMirror(const std::string& mirror, std::string* error) {
    const int descriptor = takeLock(lockPath(mirror, "lock"), LOCK_EX,
                                    "the mirror " + mirror + " is busy: another nemarro-cli --sync",
                                    " is keeping it in step", error);
    return descriptor < 0 ? nullptr : new MirrorLock{descriptor, -1};
}

MirrorLock* lockMirrorShare(const std::string& mirror, int index, int count, std::string* error) {
    const std::string share = std::to_string(index) + "/" + std::to_string(count);
    const int descriptor =
        takeLock(lockPath(mirror, "lock"), LOCK_SH,
                 "the mirror " + mirror + " is busy: an unsharded nemarro-cli --sync",
                 " is keeping it in step", error);
    if (descriptor < 0) {
        return nullptr;
    }
    const int shareDescriptor = takeLock(
        lockPath(mirror, "lock." + std::to_string(index) + "-of-" + std::to_string(count)), LOCK_EX,
        "the mirror " + mirror + " is busy: another nemarro-cli --sync --shard " + share,
        " is keeping that share in step", error);
    if (shareDescriptor < 0) {
        close(descriptor);
        return nullptr;
    }
    return new MirrorLock{descriptor, shareDescriptor};
}

void unlockMirror(MirrorLock* lock) {
    if (lock == nullptr) {
        return;
    }
    close(lock->descriptor); // closing the only descriptor lets the lock go
    if (lock->shareDescriptor >= 0) {
        close(lock->shareDescriptor);
    }
    delete lock;
}
