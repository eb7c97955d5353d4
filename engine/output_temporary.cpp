// Temporary output names: made from the process id and a counter, recognised by their
// prefix, cleared once their process is gone.
#include "output_temporary.h"

#include "bounded_text.h"
#include "path_separator.h"
#include "process_identity.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

namespace {
std::atomic<unsigned> g_nextTemporary{0};

// Where the file name of `path` begins.
const char* fileNameOf(const char* path) {
    const char* name = path;
    for (const char* p = path; *p != '\0'; ++p) {
        if (isPathSeparator(*p)) {
            name = p + 1;
        }
    }
    return name;
}
} // namespace

int temporaryOutputPath(const char* finalPath, char* temporary, std::size_t size) {
    const char* name = fileNameOf(finalPath);
    const char* dot = std::strrchr(name, '.');
    const char* extension = dot != nullptr && dot != name ? dot : "";
    const int folderLength = static_cast<int>(name - finalPath);
    return formatText(temporary, size, "%.*s%s%lld-%u%s", folderLength, finalPath,
                      kTemporaryOutputPrefix, static_cast<long long>(currentProcessId()),
                      g_nextTemporary++, extension);
}

bool isTemporaryOutputName(const char* name, int64_t* processId) {
    const std::size_t prefix = std::strlen(kTemporaryOutputPrefix);
    if (std::strncmp(name, kTemporaryOutputPrefix, prefix) != 0) {
        return false;
    }
    const char* digits = name + prefix;
    char* end = nullptr;
    const long long id = std::strtoll(digits, &end, 10);
    if (end == digits || *end != '-' || end[1] < '0' || end[1] > '9') {
        return false;
    }
    *processId = id;
    return true;
}

int removeStaleTemporaries(const char* folder) {
    namespace fs = std::filesystem;
    std::error_code error;
    int removed = 0;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        int64_t processId = 0;
        const std::string name = it->path().filename().string();
        std::error_code typeError;
        if (isTemporaryOutputName(name.c_str(), &processId) && it->is_regular_file(typeError) &&
            processId != currentProcessId() && !processIsAlive(processId) &&
            fs::remove(it->path(), typeError)) {
            ++removed;
        }
    }
    return removed;
}
