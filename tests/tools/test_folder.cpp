// A scratch folder for one test, removed with everything in it afterwards.
#include "test_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

TestFolder::TestFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "nemarro-tools-XXXXXX").string();
    if (mkdtemp(pattern.data()))
        m_path = pattern;
}

TestFolder::~TestFolder() {
    std::error_code ignored;
    if (!m_path.empty())
        std::filesystem::remove_all(m_path, ignored);
}

std::string TestFolder::write(const std::string& name, const std::string& content,
                              bool executable) const {
    const std::string path = file(name);
    std::ofstream(path, std::ios::binary) << content;
    if (executable)
        chmod(path.c_str(), 0755);
    return path;
}

bool fileExists(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

std::string readFile(const std::string& path) {
    std::ifstream stream(path, std::ios::binary);
    std::ostringstream content;
    content << stream.rdbuf();
    return content.str();
}
