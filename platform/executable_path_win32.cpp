// The executable's path from GetModuleFileNameA.
#include "executable_path.h"

#include <windows.h>

int executablePath(char* path, std::size_t size) {
    const DWORD length = GetModuleFileNameA(nullptr, path, static_cast<DWORD>(size));
    // A full buffer means the path was cut short.
    if (length == 0 || length >= size) {
        return -1;
    }
    return 0;
}
