// The C locale's numbers for the calling thread between two calls, so other threads and
// the rest of the program keep theirs. Each system's half says how; classic_numbers.cpp
// formats with it.
#pragma once

struct ClassicLocaleSaved {
#ifdef _WIN32
    int mode;           // the thread's locale mode before (_configthreadlocale)
    char previous[128]; // LC_NUMERIC before; empty when it was not kept
#else
    void* previous; // the thread's locale_t before; nullptr when nothing was switched
#endif
};

void enterClassicLocale(ClassicLocaleSaved* saved);
void leaveClassicLocale(const ClassicLocaleSaved& saved);
