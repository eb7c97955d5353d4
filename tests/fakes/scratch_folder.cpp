// Scratch folders and file helpers shared by every test suite.
#include "scratch_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

ScratchFolder::ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "nemarro-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) {
        m_path = pattern;
    }
}

ScratchFolder::~ScratchFolder() {
    if (!m_path.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
}

bool ScratchFolder::exists(const std::string& name) const { return fileExists(file(name)); }

std::string ScratchFolder::read(const std::string& name) const { return readFile(file(name)); }

std::string ScratchFolder::write(const std::string& name, const std::string& content,
                                 bool executable) const {
    const std::string path = writeFile(file(name), content);
    if (executable) {
        chmod(path.c_str(), 0755);
    }
    return path;
}

void ScratchFolder::remove(const std::string& name) const {
    std::error_code ignored;
    std::filesystem::remove(file(name), ignored);
}

bool fileExists(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string writeFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
    return path;
}
