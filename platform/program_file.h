// Whether a program file can be started, asked after a start failed so that the user
// learns which of the common reasons it was.
#pragma once

enum class ProgramFile {
    Runnable,    // a file this process may execute
    Missing,     // nothing at the path
    NotRunnable, // a folder, or a file without execute permission
};

ProgramFile programFileState(const char* path);
