// How long a path and a program's command line may be here. Every buffer that holds a
// path or a line is sized from these, and text that does not fit is refused, never cut.
#pragma once

#include <climits>
#include <cstddef>

#ifdef _WIN32
// The 8-bit calls (CreateProcessA, the "A" file functions) take no longer paths.
inline constexpr std::size_t kPathSize = 260;        // 259 bytes and the terminator
inline constexpr std::size_t kCommandLineSize = 512; // the encoder's whole line
inline constexpr std::size_t kProbeLineSize = 260;   // the prober's whole line
#else
// Any path the kernel takes: PATH_MAX counts the terminator (4,095 bytes on Linux).
inline constexpr std::size_t kPathSize = PATH_MAX;
// The program's path, two paths (source and output), the option parts and the quotes.
inline constexpr std::size_t kCommandLineSize = 3 * kPathSize + 2048;
// The program's path, the file's path, the options and the quotes.
inline constexpr std::size_t kProbeLineSize = 2 * kPathSize + 64;
static_assert(kPathSize >= 1024, "a path of a music library must fit");
#endif
