// Test helpers: the scripted HTTP server on 127.0.0.1 (update_server.py) and a scratch folder.
#pragma once

#include "scratch_folder.h"

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
    ScratchFolder m_folder; // holds the request log
    std::string m_logFile;
};

