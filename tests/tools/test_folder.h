// A scratch folder for one test, removed with everything in it afterwards.
#pragma once

#include <string>

class TestFolder {
public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }
    // Writes `content` to `name`; executable makes it a program (for scripts).
    std::string write(const std::string& name, const std::string& content,
                      bool executable = false) const;

private:
    std::string m_path;
};

bool fileExists(const std::string& path);
std::string readFile(const std::string& path);
