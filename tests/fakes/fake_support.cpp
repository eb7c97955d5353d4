// The fake program's path and command line.
#include "fake_support.h"

#include <filesystem>

// Absolute in this system's own form: on Windows the build's "/work/..." becomes a
// drive path with backslashes, as a user's path would be.
std::string fakeToolPath() {
    return std::filesystem::absolute(NEMARRO_FAKE_TOOL).make_preferred().string();
}

std::string fakeCommandLine(const std::string& scriptPath) {
    return "\"" + fakeToolPath() + "\" \"" + scriptPath + "\"";
}
