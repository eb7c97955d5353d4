// Test helpers: the scripted HTTP server on 127.0.0.1 (update_server.py) and a scratch folder.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

class TestHttpServer {
public:
    // Starts the server; on failure port() is 0 and the test should fail.
    TestHttpServer();
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    int port() const { return m_port; }
    // "http://127.0.0.1:<port>" followed by `path`.
    std::string url(const std::string& path) const;
    // Request targets received so far, in order.
    std::vector<std::string> requests() const;

private:
    pid_t m_pid = -1;
    int m_port = 0;
    std::string m_folder;
    std::string m_logFile;
};

// A fresh folder under the temporary directory, removed with its content at the end.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }
    bool exists(const std::string& name) const;
    // Whole content of a file in the folder; empty when it is missing.
    std::string read(const std::string& name) const;
    void write(const std::string& name, const std::string& content) const;
    void remove(const std::string& name) const;

private:
    std::string m_path;
};
