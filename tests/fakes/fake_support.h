// What tests need around the fake programs: a scratch folder, script files, reading
// back what a fake wrote, and counting this process's open descriptors.
#pragma once

#include <string>

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return m_path; }
    // path() + "/" + name
    std::string file(const std::string& name) const;

private:
    std::string m_path;
};

// Writes `content` to `path` (replacing it); returns `path`.
std::string writeFile(const std::string& path, const std::string& content);
// The whole content of `path`, or "" when it cannot be read.
std::string readFile(const std::string& path);
// The fake program's path.
std::string fakeToolPath();
// The command line that runs the fake with `scriptPath` as its last argument.
std::string fakeCommandLine(const std::string& scriptPath);
// Number of descriptors this process holds open.
int openDescriptorCount();
