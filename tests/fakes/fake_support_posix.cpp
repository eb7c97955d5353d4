// Descriptor counting and the fake's crash on POSIX.
#include "fake_support.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>

const int kFakeCrashCode = SIGABRT;
const bool kFakeCrashBySignal = true;

int openDescriptorCount() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator("/proc/self/fd")) {
        ++count;
    }
    return count;
}

void setFakeScript(const std::string& path) {
    if (path.empty())
        unsetenv("NEMARRO_FAKE_SCRIPT");
    else
        setenv("NEMARRO_FAKE_SCRIPT", path.c_str(), 1);
}

void setFakeServes(bool serves) {
    if (serves)
        unsetenv("NEMARRO_FAKE_NO_SERVE");
    else
        setenv("NEMARRO_FAKE_NO_SERVE", "1", 1);
}
