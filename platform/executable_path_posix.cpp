// The executable's path from /proc/self/exe.
#include "executable_path.h"

#include <unistd.h>

int executablePath(char* path, std::size_t size) {
    if (size < 2) {
        return -1;
    }
    const ssize_t length = readlink("/proc/self/exe", path, size - 1);
    // A full buffer may mean the path was cut short.
    if (length <= 0 || static_cast<std::size_t>(length) >= size - 1) {
        return -1;
    }
    path[length] = '\0';
    return 0;
}
