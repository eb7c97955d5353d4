// Finding a program beside this one or on PATH, as Windows itself looks for a program
// started by name (the current folder and the system folders aside).
#include "program_lookup.h"

#include "executable_folder.h"
#include "path_separator.h"
#include "program_file.h"

#include <algorithm>
#include <cstdlib>
#include <windows.h>

namespace {

bool isProgram(const std::string& path) {
    return programFileState(path.c_str()) == ProgramFile::Runnable;
}

std::string inFolder(const std::string& folder, const std::string& file) {
    return isPathSeparator(folder.back()) ? folder + file : folder + kPathSeparator + file;
}

} // namespace

const bool kProgramLookupTriesOwnFolder = true;

std::string findProgramOnPath(const std::string& name) {
    if (name.empty())
        return {};
    std::string file = name;
    const std::size_t baseStart = name.find_last_of("/\\:") + 1; // 0 when there is none
    if (name.find('.', baseStart) == std::string::npos)
        file += ".exe";
    if (baseStart > 0)
        return isProgram(file) ? file : std::string();

    char folder[MAX_PATH + 1];
    if (executableFolder(folder, sizeof folder) == 0 && isProgram(inFolder(folder, file)))
        return inFolder(folder, file);
    const char* variable = std::getenv("PATH");
    const std::string searchPath = variable ? variable : "";
    std::size_t start = 0;
    while (start < searchPath.size()) {
        std::size_t end = searchPath.find(';', start);
        if (end == std::string::npos)
            end = searchPath.size();
        // A folder may be quoted ("C:\Program Files\x"); an empty entry means nothing.
        std::string entry = searchPath.substr(start, end - start);
        entry.erase(std::remove(entry.begin(), entry.end(), '"'), entry.end());
        if (!entry.empty() && isProgram(inFolder(entry, file)))
            return inFolder(entry, file);
        start = end + 1;
    }
    return {};
}
