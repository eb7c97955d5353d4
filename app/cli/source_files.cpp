// Walking the given folders for their files.
#include "source_files.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {
void walkFolder(const std::string& given, std::vector<SourceFile>* files) {
    std::vector<SourceFile> found;
    std::error_code error;
    const fs::path root(given);
    fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, error);
    for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        std::error_code statError;
        if (!it->is_regular_file(statError)) {
            continue; // folders are walked into; devices, pipes and sockets are no music
        }
        fs::path relative = it->path().parent_path().lexically_relative(root);
        std::string folder = relative.generic_string();
        if (folder == "." || folder.empty()) {
            folder.clear();
        }
        found.push_back(SourceFile{it->path().string(), folder});
    }
    std::sort(found.begin(), found.end(),
              [](const SourceFile& a, const SourceFile& b) { return a.path < b.path; });
    files->insert(files->end(), found.begin(), found.end());
}
} // namespace

bool collectSourceFiles(const std::vector<std::string>& arguments, std::vector<SourceFile>* files,
                        std::string* error) {
    for (const std::string& argument : arguments) {
        std::error_code statError;
        const fs::file_status status = fs::status(argument, statError);
        if (!fs::exists(status)) {
            *error = "no such file or folder: " + argument;
            return false;
        }
        if (fs::is_directory(status)) {
            walkFolder(argument, files);
        } else {
            files->push_back(SourceFile{argument, ""});
        }
    }
    return true;
}
