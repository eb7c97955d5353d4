// The operating system's handles for a running program and for a pipe end.
#pragma once

#ifdef _WIN32
// A Win32 half keeps the kernel handles themselves.
using ProcessHandle = void*;
using PipeHandle = void*;
inline constexpr ProcessHandle kNoProcess = nullptr;
inline const PipeHandle kNoPipe = nullptr;
#else
// On POSIX a started program is a small record kept by the platform layer (its pid,
// and its exit status once reaped); a pipe end is a file descriptor.
struct PosixProcess;
using ProcessHandle = PosixProcess*;
using PipeHandle = int;
inline constexpr ProcessHandle kNoProcess = nullptr;
inline constexpr PipeHandle kNoPipe = -1;
#endif
