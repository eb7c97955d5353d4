// The platform's folder separator, used wherever a path is composed.
#pragma once

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#define NEMARRO_PATH_SEPARATOR "\\"
#else
inline constexpr char kPathSeparator = '/';
#define NEMARRO_PATH_SEPARATOR "/"
#endif

// True for every character that separates folders here: '/' everywhere, and on Windows
// the backslash as well.
inline constexpr bool isPathSeparator(char c) { return c == '/' || c == kPathSeparator; }
