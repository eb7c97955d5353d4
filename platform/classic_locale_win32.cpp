// The C locale's numbers for the calling thread only: the thread gets a locale of its own
// for the call (_configthreadlocale).
#include "classic_locale.h"

#include <clocale>
#include <cstring>
#include <locale.h>

void enterClassicLocale(ClassicLocaleSaved* saved) {
    saved->mode = _configthreadlocale(_ENABLE_PER_THREAD_LOCALE);
    saved->previous[0] = '\0';
    const char* current = std::setlocale(LC_NUMERIC, nullptr);
    if (current != nullptr && std::strlen(current) < sizeof saved->previous)
        std::strcpy(saved->previous, current);
    std::setlocale(LC_NUMERIC, "C");
}

void leaveClassicLocale(const ClassicLocaleSaved& saved) {
    if (saved.previous[0] != '\0')
        std::setlocale(LC_NUMERIC, saved.previous);
    if (saved.mode != -1)
        _configthreadlocale(saved.mode);
}
