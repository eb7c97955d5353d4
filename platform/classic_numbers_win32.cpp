// The C locale's numbers for one formatting call on the calling thread only: the thread
// gets a locale of its own for the call (_configthreadlocale), so other threads and the
// rest of the program keep theirs.
#include "classic_numbers.h"

#include <clocale>
#include <cstdio>
#include <cstring>
#include <locale.h>

namespace {

// Switches the calling thread's numbers to the C locale while it exists.
class ClassicScope {
public:
    ClassicScope() : m_mode(_configthreadlocale(_ENABLE_PER_THREAD_LOCALE)) {
        const char* current = std::setlocale(LC_NUMERIC, nullptr);
        if (current != nullptr && std::strlen(current) < sizeof m_previous)
            std::strcpy(m_previous, current);
        std::setlocale(LC_NUMERIC, "C");
    }
    ~ClassicScope() {
        if (m_previous[0] != '\0')
            std::setlocale(LC_NUMERIC, m_previous);
        if (m_mode != -1)
            _configthreadlocale(m_mode);
    }
    ClassicScope(const ClassicScope&) = delete;
    ClassicScope& operator=(const ClassicScope&) = delete;

private:
    int m_mode;
    char m_previous[128] = "";
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
