// Reading the --files-from list.
#include "file_list.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

std::vector<std::string> splitFileList(std::string_view text, char separator) {
    std::vector<std::string> paths;
    while (!text.empty()) {
        const std::size_t end = text.find(separator);
        const std::string_view path = text.substr(0, end);
        if (!path.empty()) {
            paths.emplace_back(path);
        }
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return paths;
}

bool readFileList(const std::string& source, char separator, std::vector<std::string>* paths,
                  std::string* error) {
    const bool standardInput = source == "-";
    std::FILE* file = standardInput ? stdin : std::fopen(source.c_str(), "rb");
    if (file == nullptr) {
        *error = "the list " + source + " cannot be read: " + std::strerror(errno);
        return false;
    }
    std::string text;
    char chunk[65536];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        text.append(chunk, got);
    }
    const bool failed = std::ferror(file) != 0;
    const int readError = errno;
    if (!standardInput) {
        std::fclose(file);
    }
    if (failed) {
        *error = "the list " + source + " cannot be read: " + std::strerror(readError);
        return false;
    }
    *paths = splitFileList(text, separator);
    return true;
}
