// Starts update_server.py as a child process and reads back its request log.
#include "test_http_server.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

TestHttpServer::TestHttpServer() {
    if (m_folder.path().empty()) {
        return;
    }
    m_logFile = m_folder.file("requests.log");
    std::ofstream(m_logFile).flush();
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
    std::string python = NEMARRO_TEST_PYTHON;
    std::string script = NEMARRO_TEST_SERVER_SCRIPT;
    char* argv[] = {python.data(), script.data(), m_logFile.data(), nullptr};
    const int spawned = posix_spawn(&m_pid, python.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (spawned != 0) {
        m_pid = -1;
        close(pipeEnds[0]);
        return;
    }
    // The first line the server prints is its port.
    std::string line;
    char c = 0;
    while (read(pipeEnds[0], &c, 1) == 1 && c != '\n') {
        line += c;
    }
    close(pipeEnds[0]);
    m_port = std::atoi(line.c_str());
}

TestHttpServer::~TestHttpServer() {
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        int status = 0;
        while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
}

std::string TestHttpServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

std::vector<std::string> TestHttpServer::requests() const {
    std::vector<std::string> lines;
    std::ifstream in(m_logFile);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

