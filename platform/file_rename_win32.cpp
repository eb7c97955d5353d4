// Renaming on Windows: MoveFileExA, which keeps a file at the target unless told to
// replace it.
#include "file_rename.h"

#include <windows.h>

int renameWithoutReplacing(const char* from, const char* to) {
    if (MoveFileExA(from, to, 0)) {
        return kRenameDone;
    }
    const DWORD error = GetLastError();
    return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? kRenameTargetExists
                                                                       : kRenameFailed;
}

int renameReplacing(const char* from, const char* to) {
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) ? kRenameDone : kRenameFailed;
}
