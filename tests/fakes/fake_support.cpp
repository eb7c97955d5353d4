// The fake program's path and command line, and descriptor counting.
#include "fake_support.h"

#include <filesystem>

std::string fakeToolPath() { return NEMARRO_FAKE_TOOL; }

std::string fakeCommandLine(const std::string& scriptPath) {
    return "\"" + fakeToolPath() + "\" \"" + scriptPath + "\"";
}

int openDescriptorCount() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        ++count;
    }
    return count;
}
