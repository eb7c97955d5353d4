// Putting a finished file in its place by renaming it, within one folder: never over a
// file that is there, unless it is meant to be.
#pragma once

inline constexpr int kRenameDone = 0;
inline constexpr int kRenameTargetExists = 1; // something is at `to`: nothing was renamed
inline constexpr int kRenameFailed = -1;      // errno (POSIX) or GetLastError says why

// Renames `from` to `to` unless something exists at `to`, as one step where the file
// system can (so no file that appears meanwhile is replaced either).
int renameWithoutReplacing(const char* from, const char* to);
// Renames `from` to `to`, replacing the file at `to` in one step: a reader sees the old
// file or the new one, never neither.
int renameReplacing(const char* from, const char* to);
