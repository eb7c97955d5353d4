// Handle counting and the fake's crash on Windows.
#include "fake_support.h"

#include <windows.h>

const int kFakeCrashCode = static_cast<int>(0xC0000409u);
const bool kFakeCrashBySignal = false;

int openDescriptorCount() {
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return static_cast<int>(count);
}

void setFakeScript(const std::string& path) {
    // The process's own environment, which the programs it starts inherit.
    SetEnvironmentVariableA("NEMARRO_FAKE_SCRIPT", path.empty() ? nullptr : path.c_str());
}

void setFakeServes(bool serves) {
    SetEnvironmentVariableA("NEMARRO_FAKE_NO_SERVE", serves ? nullptr : "1");
}
