// The executable's folder from GetModuleFileNameA.
#include "executable_folder.h"

#include <cstring>
#include <windows.h>

int executableFolder(char* folder, std::size_t size) {
    if (size == 0) {
        return -1;
    }
    folder[0] = '\0';
    char path[MAX_PATH + 1];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    // A full buffer means the path was cut short.
    if (length == 0 || length >= sizeof path) {
        return -1;
    }
    path[length] = '\0';
    char* lastSeparator = std::strrchr(path, '\\');
    if (lastSeparator == nullptr) {
        return -1;
    }
    *lastSeparator = '\0'; // "C:\App\nemarro.exe" gives "C:\App"; "C:\nemarro.exe" gives "C:"
    std::size_t folderLength = static_cast<std::size_t>(lastSeparator - path);
    if (folderLength + 1 > size) {
        return -1;
    }
    std::memcpy(folder, path, folderLength + 1);
    return 0;
}
