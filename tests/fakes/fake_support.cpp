// Scratch folders, script files and descriptor counting for the tests of the fakes' users.
#include "fake_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "nemarro-test-XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    m_path = made == nullptr ? std::string() : std::string(made);
}

TempFolder::~TempFolder() {
    if (!m_path.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
}

std::string TempFolder::file(const std::string& name) const { return m_path + "/" + name; }

std::string writeFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
    return path;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

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
