// A scriptable stand-in for the encoder and the prober, for tests only. It runs the
// script named by the NEMARRO_FAKE_SCRIPT variable, or else by its last argument, one
// command a line:
//   out TEXT / err TEXT        write TEXT to stdout / stderr (escapes \r \n \t \\ \xHH)
//   repeat N TEXT              write TEXT to stdout N times
//   sleep MS                   pause
//   waitquit MS STATUS         read stdin up to MS ms; on a "q" exit with STATUS
//   record FILE MS             copy what stdin brings within MS ms (or to its end) to FILE
//   output TEXT                write TEXT to the file the last argument names (an encoder's output)
//   args FILE                  write every argument after the program's name, one a line
//   fds FILE                   write the open descriptors, one a line
//   session FILE               write "pid sid"
//   closeoutput                close stdout and stderr, keep running
//   crash                      end by SIGABRT
//   exit STATUS                end with STATUS (the end of the script gives 0)
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {
std::string unescape(const std::string& text) {
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            result.push_back(text[i]);
            continue;
        }
        char c = text[++i];
        if (c == 'r') {
            result.push_back('\r');
        } else if (c == 'n') {
            result.push_back('\n');
        } else if (c == 't') {
            result.push_back('\t');
        } else if (c == 'x' && i + 2 < text.size() + 1) {
            result.push_back(static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16)));
            i += 2;
        } else {
            result.push_back(c);
        }
    }
    return result;
}

void writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t put = write(fd, text.data() + done, text.size() - done);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            return;
        }
        done += static_cast<std::size_t>(put);
    }
}

long long millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now() - start)
        .count();
}

// Reads stdin for up to `limit` ms; `onBytes` returns true to stop early.
template <typename Handler> void readInput(long long limit, Handler onBytes) {
    auto start = std::chrono::steady_clock::now();
    for (;;) {
        long long left = limit - millisecondsSince(start);
        if (left <= 0) {
            return;
        }
        pollfd entry = {0, POLLIN, 0};
        if (poll(&entry, 1, static_cast<int>(left)) <= 0) {
            continue;
        }
        char buffer[256];
        ssize_t got = read(0, buffer, sizeof buffer);
        if (got <= 0) {
            return;
        }
        if (onBytes(std::string(buffer, static_cast<std::size_t>(got)))) {
            return;
        }
    }
}
} // namespace

int main(int argc, char** argv) {
    const char* scriptPath = std::getenv("NEMARRO_FAKE_SCRIPT");
    if (scriptPath == nullptr) {
        if (argc < 2) {
            std::fprintf(stderr, "fake_tool: no script\n");
            return 2;
        }
        scriptPath = argv[argc - 1];
    }
    // Read whole and closed, so the script holds no descriptor while it runs.
    std::istringstream script;
    {
        std::ifstream file(scriptPath);
        if (!file) {
            std::fprintf(stderr, "fake_tool: cannot read %s\n", scriptPath);
            return 2;
        }
        std::ostringstream text;
        text << file.rdbuf();
        script.str(text.str());
    }
    std::string line;
    while (std::getline(script, line)) {
        std::istringstream words(line);
        std::string command;
        words >> command;
        std::string rest;
        std::getline(words >> std::ws, rest);
        if (command == "out" || command == "err") {
            writeAll(command == "out" ? 1 : 2, unescape(rest));
        } else if (command == "repeat") {
            std::istringstream parts(rest);
            long count = 0;
            parts >> count;
            std::string text;
            std::getline(parts >> std::ws, text);
            std::string once = unescape(text);
            std::string all;
            for (long i = 0; i < count; ++i) {
                all += once;
            }
            writeAll(1, all);
        } else if (command == "sleep") {
            usleep(static_cast<useconds_t>(std::stol(rest) * 1000));
        } else if (command == "waitquit") {
            std::istringstream parts(rest);
            long long limit = 0;
            int status = 0;
            parts >> limit >> status;
            bool quit = false;
            readInput(limit, [&](const std::string& bytes) {
                quit = bytes.find('q') != std::string::npos;
                return quit;
            });
            if (quit) {
                _exit(status);
            }
        } else if (command == "record") {
            std::istringstream parts(rest);
            std::string file;
            long long limit = 0;
            parts >> file >> limit;
            std::string input;
            readInput(limit, [&](const std::string& bytes) {
                input += bytes;
                return false;
            });
            std::ofstream(file, std::ios::binary) << input;
        } else if (command == "output") {
            std::ofstream(argv[argc - 1], std::ios::binary) << unescape(rest);
        } else if (command == "args") {
            std::ofstream out(rest);
            for (int i = 1; i < argc; ++i) {
                out << argv[i] << '\n';
            }
        } else if (command == "fds") {
            std::string list;
            DIR* folder = opendir("/proc/self/fd");
            int own = folder == nullptr ? -1 : dirfd(folder);
            while (dirent* entry = folder == nullptr ? nullptr : readdir(folder)) {
                if (entry->d_name[0] != '.' && std::atoi(entry->d_name) != own) {
                    list += std::string(entry->d_name) + "\n";
                }
            }
            if (folder != nullptr) {
                closedir(folder);
            }
            std::ofstream(rest) << list;
        } else if (command == "session") {
            std::ofstream(rest) << getpid() << ' ' << getsid(0) << '\n';
        } else if (command == "closeoutput") {
            close(1);
            close(2);
        } else if (command == "crash") {
            std::signal(SIGABRT, SIG_DFL);
            std::raise(SIGABRT);
        } else if (command == "exit") {
            _exit(std::stoi(rest));
        }
    }
    // _exit: a sanitizer's leak check at exit would make the end arrive late.
    _exit(0);
}
