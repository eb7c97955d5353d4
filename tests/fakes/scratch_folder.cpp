// Scratch folders and file helpers shared by every test suite.
#include "scratch_folder.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

std::string makeDeepFolder(const std::string& root, std::size_t length, const std::string& piece) {
    constexpr std::size_t kLongestName = 200;
    std::string path = root;
    while (path.size() < length) {
        const std::size_t left = length - path.size() - 1; // behind the separator
        std::size_t size = left < kLongestName ? left : kLongestName;
        if (left - size == 1) {
            --size; // the next level needs a separator and one byte
        }
        std::string name;
        while (name.size() + piece.size() <= size) {
            name += piece;
        }
        name.append(size - name.size(), 'x');
        path = (std::filesystem::path(path) / name).make_preferred().string();
        std::error_code error;
        std::filesystem::create_directory(path, error);
        if (error) {
            return {};
        }
    }
    return path.size() == length ? path : std::string();
}

ScratchFolder::ScratchFolder() {
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    std::random_device seed;
    std::mt19937 random(seed());
    // A new folder of our own: create_directory says false for a name already taken. Every
    // name has the same length, so tests that fill a path to its limit in one folder can
    // count on another's.
    for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, "nemarro-test-%010lu", static_cast<unsigned long>(random()));
        std::filesystem::path candidate = base / name;
        std::error_code error;
        if (std::filesystem::create_directory(candidate, error)) {
            m_path = candidate.string();
        }
    }
}

ScratchFolder::~ScratchFolder() {
    if (!m_path.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
}

std::string ScratchFolder::file(const std::string& name) const {
    return (std::filesystem::path(m_path) / name).make_preferred().string();
}

bool ScratchFolder::exists(const std::string& name) const { return fileExists(file(name)); }

std::string ScratchFolder::read(const std::string& name) const { return readFile(file(name)); }

std::string ScratchFolder::write(const std::string& name, const std::string& content,
                                 bool executable) const {
    const std::string path = writeFile(file(name), content);
    if (executable) {
        std::error_code ignored;
        std::filesystem::permissions(path,
                                     std::filesystem::perms::owner_all |
                                         std::filesystem::perms::group_read |
                                         std::filesystem::perms::group_exec |
                                         std::filesystem::perms::others_read |
                                         std::filesystem::perms::others_exec,
                                     ignored);
    }
    return path;
}

void ScratchFolder::remove(const std::string& name) const {
    std::error_code ignored;
    std::filesystem::remove(file(name), ignored);
}

bool fileExists(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ignored));
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string writeFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
    return path;
}
