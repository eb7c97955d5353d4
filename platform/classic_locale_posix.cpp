// The C locale for the calling thread only (uselocale).
#include "classic_locale.h"

#include <locale.h>

namespace {
locale_t classicLocale() {
    static const locale_t classic = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return classic;
}
} // namespace

void enterClassicLocale(ClassicLocaleSaved* saved) {
    saved->previous = classicLocale() ? uselocale(classicLocale()) : nullptr;
}

void leaveClassicLocale(const ClassicLocaleSaved& saved) {
    if (saved.previous)
        uselocale(static_cast<locale_t>(saved.previous));
}
