// A fresh folder under the system's temporary folder for one test, removed with everything
// in it afterwards, and the small file helpers tests use around it.
#pragma once

#include <cstddef>
#include <string>

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return m_path; }
    // path() + separator + name
    std::string file(const std::string& name) const;
    bool exists(const std::string& name) const;
    // Whole content of a file in the folder; empty when it is missing.
    std::string read(const std::string& name) const;
    // Writes (replaces) a file in the folder; `executable` makes it a program. Returns its path.
    std::string write(const std::string& name, const std::string& content,
                      bool executable = false) const;
    void remove(const std::string& name) const;

private:
    std::string m_path;
};

// Creates folders below `root` down to one whose path has exactly `length` bytes and
// returns that path (empty when it cannot be made). The names repeat `piece` (give a
// multibyte one for names beyond ASCII), are filled up with 'x' and have at most 200
// bytes each: a path may be long, a single name not.
std::string makeDeepFolder(const std::string& root, std::size_t length, const std::string& piece);
// True when `path` names anything, a dangling link included.
bool fileExists(const std::string& path);
// The whole content of `path`, or "" when it cannot be read.
std::string readFile(const std::string& path);
// Writes `content` to `path` (replacing it); returns `path`.
std::string writeFile(const std::string& path, const std::string& content);
