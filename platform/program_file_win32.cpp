// A program file's state from its attributes: Windows starts any file that is not a folder
// and whose contents it can read as a program, so a folder is the one telling case here.
#include "program_file.h"

#include <windows.h>

ProgramFile programFileState(const char* path) {
    if (path == nullptr || *path == '\0') {
        return ProgramFile::Missing;
    }
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return ProgramFile::Missing;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return ProgramFile::NotRunnable;
    }
    return ProgramFile::Runnable;
}
