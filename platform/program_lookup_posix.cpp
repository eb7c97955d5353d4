// Finding an executable file on PATH, as the shell does.
#include "program_lookup.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isExecutableFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

std::string defaultSearchPath() {
    const std::size_t size = confstr(_CS_PATH, nullptr, 0);
    if (size == 0)
        return "/bin:/usr/bin";
    std::string path(size, '\0');
    confstr(_CS_PATH, path.data(), size);
    path.resize(size - 1);
    return path;
}

} // namespace

const bool kProgramLookupTriesOwnFolder = false;

std::string findProgramOnPath(const std::string& name) {
    if (name.empty())
        return {};
    if (name.find('/') != std::string::npos)
        return isExecutableFile(name) ? name : std::string();
    const char* variable = std::getenv("PATH");
    const std::string searchPath = variable ? variable : defaultSearchPath();
    std::size_t start = 0;
    while (start <= searchPath.size()) {
        std::size_t end = searchPath.find(':', start);
        if (end == std::string::npos)
            end = searchPath.size();
        // An empty entry means the current folder, as in the shell.
        const std::string folder = end > start ? searchPath.substr(start, end - start) : ".";
        const std::string candidate = folder + "/" + name;
        if (isExecutableFile(candidate))
            return candidate;
        start = end + 1;
    }
    return {};
}
