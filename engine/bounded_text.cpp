// Bounded formatting and number reading, both with a decimal point whatever the locale.
#include "bounded_text.h"

#include "classic_numbers.h"

#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <system_error>

namespace {
int formatAt(char* buffer, std::size_t size, const char* format, va_list arguments)
    NEMARRO_PRINTF_FORMAT(3, 0);

int formatAt(char* buffer, std::size_t size, const char* format, va_list arguments) {
    if (size == 0) {
        return -1;
    }
    int written = formatClassic(buffer, size, format, arguments);
    return (written < 0 || static_cast<std::size_t>(written) >= size) ? -1 : 0;
}
} // namespace

int formatText(char* buffer, std::size_t size, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    int result = formatAt(buffer, size, format, arguments);
    va_end(arguments);
    if (result != 0 && size > 0) {
        buffer[0] = '\0';
    }
    return result;
}

int appendText(char* buffer, std::size_t size, const char* format, ...) {
    std::size_t used = std::strlen(buffer);
    if (used >= size) {
        return -1;
    }
    va_list arguments;
    va_start(arguments, format);
    int result = formatAt(buffer + used, size - used, format, arguments);
    va_end(arguments);
    if (result != 0) {
        buffer[used] = '\0';
    }
    return result;
}

int copyText(char* buffer, std::size_t size, const char* text) {
    std::size_t length = std::strlen(text);
    if (length >= size) {
        return -1;
    }
    std::memcpy(buffer, text, length + 1);
    return 0;
}

bool hasDoubleQuote(const char* text) {
    return std::strchr(text, '"') != nullptr;
}

double readLeadingNumber(const char* text) {
    const char* p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) {
        ++p;
    }
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    if (*p == '+' || *p == '-') {
        return 0.0; // strtod takes one sign only
    }
    double value = 0.0;
    std::from_chars_result result =
        std::from_chars(p, p + std::strlen(p), value, std::chars_format::general);
    if (result.ec != std::errc() || !std::isfinite(value)) {
        return 0.0;
    }
    return negative ? -value : value;
}

const char* findAtLineStart(const char* text, const char* key) {
    for (const char* at = std::strstr(text, key); at != nullptr; at = std::strstr(at + 1, key)) {
        if (at == text || at[-1] == '\n' || at[-1] == '\r')
            return at;
    }
    return nullptr;
}
