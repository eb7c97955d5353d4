// The fake on Windows: the standard handles as pipes, a crash's exception code, and the
// command line as the program received it.
#include "fake_system.h"

#include <chrono>
#include <fstream>
#include <io.h>
#include <thread>
#include <windows.h>

void writeAll(int stream, const std::string& text) {
    HANDLE out = GetStdHandle(stream == 2 ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    std::size_t done = 0;
    while (done < text.size()) {
        DWORD put = 0;
        if (!WriteFile(out, text.data() + done, static_cast<DWORD>(text.size() - done), &put,
                       nullptr) ||
            put == 0) {
            return;
        }
        done += put;
    }
}

int readInput(char* buffer, int size, long long timeoutMs) {
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        DWORD waiting = 0;
        if (!PeekNamedPipe(in, nullptr, 0, nullptr, &waiting, nullptr)) {
            return -1;
        }
        if (waiting > 0) {
            DWORD got = 0;
            if (!ReadFile(in, buffer, static_cast<DWORD>(size), &got, nullptr)) {
                return -1;
            }
            return static_cast<int>(got);
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

long processId() {
    return static_cast<long>(GetCurrentProcessId());
}

void closeOutput() {
    // The runtime's descriptors 1 and 2 may hold copies of the standard handles (Wine's
    // does): every copy goes, so the reader sees the end.
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    _close(1);
    _close(2);
    CloseHandle(out);
    if (err != out) {
        CloseHandle(err);
    }
}

void crash() {
    // The code a fail-fast crash ends with, and no debugger is woken to look at it.
    TerminateProcess(GetCurrentProcess(), 0xC0000409);
    ExitProcess(0xC0000409);
}

void runSystemCommand(const std::string& command, const std::string& rest, int, char**) {
    if (command == "cmdline") {
        std::ofstream(rest, std::ios::binary) << GetCommandLineA();
    }
}
