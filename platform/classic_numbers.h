// Formatting with the C locale's numbers (a decimal point, no grouping) whatever locale
// the program runs in: for texts whose format is fixed, such as the options the external
// programs read ("-ss 1.500000") and clock texts ("00:00:05.00"). The toolkit sets the
// process locale from the environment, so plain printf would write "1,500000" under a
// decimal-comma locale. Only numbers change; other text is copied as it is.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cwchar>

#if defined(__GNUC__) || defined(__clang__)
#define NEMARRO_CLASSIC_FORMAT(formatIndex, firstArgument) \
    __attribute__((format(printf, formatIndex, firstArgument)))
#else
#define NEMARRO_CLASSIC_FORMAT(formatIndex, firstArgument)
#endif

// vsnprintf, snprintf and swprintf in the C locale, with the results they give.
int formatClassic(char* buffer, std::size_t size, const char* format, va_list arguments)
    NEMARRO_CLASSIC_FORMAT(3, 0);
int printClassic(char* buffer, std::size_t size, const char* format, ...)
    NEMARRO_CLASSIC_FORMAT(3, 4);
int printClassicWide(wchar_t* buffer, std::size_t size, const wchar_t* format, ...);
