// Process ids on Windows: GetCurrentProcessId, and a process handle that has no exit code
// yet.
#include "process_identity.h"

#include <windows.h>

int64_t currentProcessId() {
    return GetCurrentProcessId();
}

bool processIsAlive(int64_t processId) {
    if (processId <= 0 || processId > 0xffffffffLL) {
        return false;
    }
    HANDLE process =
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(processId));
    if (process == nullptr) {
        return GetLastError() == ERROR_ACCESS_DENIED;
    }
    DWORD code = 0;
    const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    CloseHandle(process);
    return running;
}
