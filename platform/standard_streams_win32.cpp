// Standard error as the process's Win32 handle, written without the C runtime's text mode.
#include "standard_streams.h"

#include <windows.h>

void prepareStandardStreams() {}

bool writeStandardError(const char* data, std::size_t size) {
    const HANDLE standardError = GetStdHandle(STD_ERROR_HANDLE);
    while (size > 0) {
        const DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(standardError, data, chunk, &written, nullptr) || written == 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

PipeHandle watchableStandardInput() {
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    return input != nullptr && input != INVALID_HANDLE_VALUE && GetFileType(input) == FILE_TYPE_PIPE
               ? input
               : kNoPipe;
}
