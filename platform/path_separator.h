// The platform's folder separator, used wherever a path is composed.
#pragma once

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#define NEMARRO_PATH_SEPARATOR "\\"
#else
inline constexpr char kPathSeparator = '/';
#define NEMARRO_PATH_SEPARATOR "/"
#endif
