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
};

MirrorLock* lockMirror(const std::string& mirror, std::string* error) {
    const std::string path = mirror + "/" + kMirrorStateFolder + "/lock";
    const int descriptor = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (descriptor < 0) {
        *error = "cannot open " + path + ": " + std::strerror(errno);
        return nullptr;
    }
    if (flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        const int why = errno;
        char holder[32] = "";
        const ssize_t got = pread(descriptor, holder, sizeof holder - 1, 0);
        holder[got > 0 ? got : 0] = '\0';
        holder[std::strcspn(holder, "\n")] = '\0';
        close(descriptor);
        if (why == EWOULDBLOCK) {
            *error =
                "the mirror " + mirror + " is busy: another nemarro-cli --sync" +
                (holder[0] != '\0' ? std::string(" (process ") + holder + ")" : std::string()) +
                " is keeping it in step; nothing was changed, try again when it has ended";
        } else {
            *error = "cannot lock " + path + ": " + std::strerror(why);
        }
        return nullptr;
    }
    char pid[32];
    const int length = std::snprintf(pid, sizeof pid, "%ld\n", static_cast<long>(getpid()));
    // The id is a courtesy for the message; a lock whose file cannot be written still holds.
    if (ftruncate(descriptor, 0) == 0) {
        const ssize_t ignored = pwrite(descriptor, pid, static_cast<std::size_t>(length), 0);
        (void)ignored;
    }
    return new MirrorLock{descriptor};
}

void unlockMirror(MirrorLock* lock) {
    if (lock == nullptr) {
        return;
    }
    close(lock->descriptor); // closing the only descriptor lets the lock go
    delete lock;
}
