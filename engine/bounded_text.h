// Formatting into fixed buffers that reports, rather than hides, text that does not fit;
// and reading the numbers the external programs print.
#pragma once

#include <cstddef>

#if defined(__GNUC__) || defined(__clang__)
#define NEMARRO_PRINTF_FORMAT(formatIndex, firstArgument) \
    __attribute__((format(printf, formatIndex, firstArgument)))
#else
#define NEMARRO_PRINTF_FORMAT(formatIndex, firstArgument)
#endif

// snprintf into `buffer`, numbers with a decimal point in any locale; returns 0, or -1 when the
// text does not fit (the buffer then holds the empty text, never a cut one).
int formatText(char* buffer, std::size_t size, const char* format, ...) NEMARRO_PRINTF_FORMAT(3, 4);

// Appends the formatted text behind what `buffer` holds; returns 0, or -1 when it does
// not fit (the buffer then keeps its old text).
int appendText(char* buffer, std::size_t size, const char* format, ...) NEMARRO_PRINTF_FORMAT(3, 4);

// Copies `text` whole; returns 0, or -1 when it does not fit (the buffer keeps its text).
int copyText(char* buffer, std::size_t size, const char* text);

// True when `text` holds a double quote, which an option part of a line, standing bare,
// cannot hold.
bool hasDoubleQuote(const char* text);

// The decimal number at the start of `text`, read like strtod in the C locale whatever
// the program's locale is: leading blanks skipped, optional sign, digits with an
// optional point and exponent; no number, or one that is not finite ("nan", "inf",
// out of range), gives 0.
double readLeadingNumber(const char* text);
