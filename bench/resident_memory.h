// The process's resident memory as the kernel counts it (VmRSS of /proc/self/status).
#pragma once

#include <cstdio>
#include <cstdlib>
#include <cstring>

// Resident memory in kibibytes, or -1 where /proc cannot tell.
inline long residentKib() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr)
        return -1;
    long kib = -1;
    char line[256];
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::strncmp(line, "VmRSS:", 6) == 0) {
            kib = std::strtol(line + 6, nullptr, 10);
            break;
        }
    }
    std::fclose(status);
    return kib;
}
