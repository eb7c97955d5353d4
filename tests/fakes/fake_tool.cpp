// A scriptable stand-in for the encoder and the prober, for tests only. It runs the
// script beside itself named after it (PROGRAM.script), else the one named by the
// NEMARRO_FAKE_SCRIPT variable, or else by its last argument, one command a line:
//   out TEXT / err TEXT        write TEXT to stdout / stderr (escapes \r \n \t \\ \xHH)
//   repeat N TEXT              write TEXT to stdout N times
//   sleep MS                   pause
//   waitquit MS STATUS [FINISH_MS]  read stdin up to MS ms; on a "q" exit with STATUS
//                              (after FINISH_MS more, as an encoder closing a long file)
//   record FILE MS             copy what stdin brings within MS ms (or to its end) to FILE
//   output TEXT                write TEXT to the file the last argument names (an encoder's output)
//   args FILE                  write every argument after the program's name, one a line
//   pid                        write "pid=ID" and a newline to stdout
//   closeoutput                close stdout and stderr, keep running
//   crash                      end as a crashed program does (SIGABRT; on Windows an
//                              exception code)
//   exit STATUS                end with STATUS (the end of the script gives 0)
// Started as "PROGRAM -serve" it serves as the prober does: it greets, then runs the script
// for each NUL-separated request (its words standing for the arguments) and ends each
// answer with "[/ANSWER status=N]", until its input ends; with NEMARRO_FAKE_NO_SERVE set
// it knows no such mode.
// and the commands only one system has (fake_system.h):
//   fds FILE                   POSIX: write the open descriptors, one a line
//   session FILE               POSIX: write "pid sid"
//   cmdline FILE               Windows: write the command line exactly as received
#include "fake_system.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

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

long long millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}

// Reads stdin for up to `limit` ms; `onBytes` returns true to stop early.
template <typename Handler> void readInputFor(long long limit, Handler onBytes) {
    auto start = std::chrono::steady_clock::now();
    for (;;) {
        long long left = limit - millisecondsSince(start);
        if (left <= 0) {
            return;
        }
        char buffer[256];
        int got = readInput(buffer, sizeof buffer, left);
        if (got == 0) {
            continue;
        }
        if (got < 0) {
            return;
        }
        if (onBytes(std::string(buffer, static_cast<std::size_t>(got)))) {
            return;
        }
    }
}


// Runs the script `scriptText` with `args` (the program's name first): 0 at its end, or the
// status an "exit" or "waitquit" gives.
int runScript(const std::string& scriptText, std::vector<char*>& args) {
    const int argc = static_cast<int>(args.size());
    char** argv = args.data();
    std::istringstream script(scriptText);
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
            std::this_thread::sleep_for(std::chrono::milliseconds(std::stol(rest)));
        } else if (command == "waitquit") {
            std::istringstream parts(rest);
            long long limit = 0;
            int status = 0;
            long long finish = 0;
            parts >> limit >> status >> finish;
            bool quit = false;
            readInputFor(limit, [&](const std::string& bytes) {
                quit = bytes.find('q') != std::string::npos;
                return quit;
            });
            if (quit) {
                std::this_thread::sleep_for(std::chrono::milliseconds(finish));
                return status;
            }
        } else if (command == "record") {
            std::istringstream parts(rest);
            std::string file;
            long long limit = 0;
            parts >> file >> limit;
            std::string input;
            readInputFor(limit, [&](const std::string& bytes) {
                input += bytes;
                return false;
            });
            std::ofstream(file, std::ios::binary) << input;
        } else if (command == "output") {
            std::ofstream(argv[argc - 1], std::ios::binary) << unescape(rest);
        } else if (command == "args") {
            std::ofstream out(rest, std::ios::binary);
            for (int i = 1; i < argc; ++i) {
                out << argv[i] << '\n';
            }
        } else if (command == "pid") {
            writeAll(1, "pid=" + std::to_string(processId()) + "\n");
        } else if (command == "closeoutput") {
            closeOutput();
        } else if (command == "crash") {
            crash();
        } else if (command == "exit") {
            return std::stoi(rest);
        } else {
            runSystemCommand(command, rest, argc, argv);
        }
    }
    return 0;
}

// The script for a run with `args`: the one beside the program under its own name
// ("cv.dat.script") first, so one folder can hold the fake as the encoder and as the
// prober, each with its part; else NEMARRO_FAKE_SCRIPT's; else the last argument's.
// Read whole and closed, so the script holds no descriptor while it runs. False, with
// the line said, when there is none.
bool readScript(const std::vector<char*>& args, std::string* text) {
    const std::string besideScript = std::string(args[0]) + ".script";
    const char* scriptPath = std::getenv("NEMARRO_FAKE_SCRIPT");
    if (std::ifstream(besideScript)) {
        scriptPath = besideScript.c_str();
    } else if (scriptPath == nullptr) {
        if (args.size() < 2) {
            writeAll(2, "fake_tool: no script\n");
            return false;
        }
        scriptPath = args.back();
    }
    std::ifstream file(scriptPath);
    if (!file) {
        writeAll(2, std::string("fake_tool: cannot read ") + scriptPath + "\n");
        return false;
    }
    std::ostringstream read;
    read << file.rdbuf();
    *text = read.str();
    return true;
}

// The serving prober's loop: each request's words are the arguments of one run.
[[noreturn]] void serve(char* program) {
    writeAll(1, "[/ANSWER status=0]\n");
    std::string pending;
    for (;;) {
        std::vector<std::string> words;
        std::size_t start = 0;
        bool whole = false;
        for (std::size_t end; (end = pending.find('\0', start)) != std::string::npos;
             start = end + 1) {
            if (end == start) {
                whole = true;
                pending.erase(0, end + 1);
                break;
            }
            words.push_back(pending.substr(start, end - start));
        }
        if (!whole) {
            char buffer[256];
            const int got = readInput(buffer, sizeof buffer, 1000);
            if (got < 0)
                std::_Exit(pending.empty() ? 0 : 1);
            pending.append(buffer, static_cast<std::size_t>(got));
            continue;
        }
        std::vector<char*> args = {program};
        for (std::string& word : words)
            args.push_back(word.data());
        std::string text;
        const int status = readScript(args, &text) ? runScript(text, args) : 2;
        writeAll(1, "[/ANSWER status=" + std::to_string(status) + "]\n");
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "-serve" && std::getenv("NEMARRO_FAKE_NO_SERVE") == nullptr)
        serve(argv[0]);
    std::vector<char*> args(argv, argv + argc);
    std::string text;
    if (!readScript(args, &text))
        return 2;
    // _Exit: a sanitizer's leak check at exit would make the end arrive late.
    std::_Exit(runScript(text, args));
}
