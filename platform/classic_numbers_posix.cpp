// The C locale for one formatting call on the calling thread only (uselocale), so other
// threads and the rest of the program keep the user's locale.
#include "classic_numbers.h"

#include <clocale>
#include <cstdio>
#include <locale.h>

namespace {

locale_t classicLocale() {
    static const locale_t classic = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return classic;
}

// Switches the calling thread to the C locale while it exists.
class ClassicScope {
public:
    ClassicScope() : m_previous(classicLocale() ? uselocale(classicLocale()) : nullptr) {}
    ~ClassicScope() {
        if (m_previous)
            uselocale(m_previous);
    }
    ClassicScope(const ClassicScope&) = delete;
    ClassicScope& operator=(const ClassicScope&) = delete;

private:
    locale_t m_previous;
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
