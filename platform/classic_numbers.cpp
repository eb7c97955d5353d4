// Formatting in the C locale's numbers, whatever locale the program runs in.
#include "classic_numbers.h"

#include "classic_locale.h"

#include <cstdio>

namespace {

// The calling thread formats in the C locale while it exists.
class ClassicScope {
public:
    ClassicScope() { enterClassicLocale(&m_saved); }
    ~ClassicScope() { leaveClassicLocale(m_saved); }
    ClassicScope(const ClassicScope&) = delete;
    ClassicScope& operator=(const ClassicScope&) = delete;

private:
    ClassicLocaleSaved m_saved;
};

} // namespace

int formatClassic(char* buffer, std::size_t size, const char* format, va_list arguments) {
    ClassicScope scope;
    return std::vsnprintf(buffer, size, format, arguments);
}

int printClassic(char* buffer, std::size_t size, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const int written = formatClassic(buffer, size, format, arguments);
    va_end(arguments);
    return written;
}

int printClassicWide(wchar_t* buffer, std::size_t size, const wchar_t* format, ...) {
    ClassicScope scope;
    va_list arguments;
    va_start(arguments, format);
    const int written = std::vswprintf(buffer, size, format, arguments);
    va_end(arguments);
    return written;
}
