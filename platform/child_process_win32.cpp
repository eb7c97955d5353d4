// Programs started with CreateProcessA: stdin on one anonymous pipe, stdout+stderr on
// another. The program is detached from any console: it has no window, and a Ctrl+C at
// ours never reaches it. The command line goes to the program exactly as composed; the
// program's own runtime splits it into arguments.
#include "child_process.h"

#include "command_line_split.h"
#include "pipe_io.h"

#include <cstring>
#include <mutex>
#include <string>
#include <vector>
#include <windows.h>

namespace {
// Pipes as large as a POSIX pipe, so a program's burst of output does not stall it.
constexpr DWORD kPipeSize = 64 * 1024;

// Inheritable handles exist only between their creation and the end of CreateProcessA;
// starts are serialised so that a program started by another thread meanwhile never
// inherits the pipe ends meant for this one.
std::mutex g_inheritanceLock;

// A pipe whose end `inheritedEnd` (0 read, 1 write) is inheritable and the other not.
bool createPipe(HANDLE ends[2], int inheritedEnd) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    if (!CreatePipe(&ends[0], &ends[1], &inherit, kPipeSize)) {
        ends[0] = ends[1] = kNoPipe;
        return false;
    }
    if (!SetHandleInformation(ends[1 - inheritedEnd], HANDLE_FLAG_INHERIT, 0)) {
        closePipe(&ends[0]);
        closePipe(&ends[1]);
        return false;
    }
    return true;
}

bool hasEnded(HANDLE process) {
    return WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
}

// Starts the program the command line names: 0, or the system's error number.
DWORD start(const char* commandLine, StartedChild* child) {
    *child = StartedChild{kNoProcess, 0, kNoPipe, kNoPipe};
    // CreateProcessA may write into the line it is given.
    std::vector<char> line(commandLine, commandLine + std::strlen(commandLine) + 1);

    std::lock_guard<std::mutex> lock(g_inheritanceLock);
    HANDLE output[2] = {kNoPipe, kNoPipe};
    HANDLE input[2] = {kNoPipe, kNoPipe};
    if (!createPipe(output, 1)) {
        return GetLastError();
    }
    if (!createPipe(input, 0)) {
        const DWORD error = GetLastError();
        closePipe(&output[0]);
        closePipe(&output[1]);
        return error;
    }

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = input[0];
    startup.hStdOutput = output[1];
    startup.hStdError = output[1];
    PROCESS_INFORMATION started = {};
    BOOL ok = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS,
                             nullptr, nullptr, &startup, &started);
    const DWORD error = ok ? 0 : GetLastError();
    // This side's copies of the program's ends go in every case, so the output pipe
    // breaks when the program (and whatever inherited it) has ended.
    closePipe(&input[0]);
    closePipe(&output[1]);
    if (!ok) {
        closePipe(&output[0]);
        closePipe(&input[1]);
        return error != 0 ? error : ERROR_GEN_FAILURE;
    }
    CloseHandle(started.hThread);
    // Writes to the program's stdin never block: a full pipe is a failed write.
    DWORD mode = PIPE_READMODE_BYTE | PIPE_NOWAIT;
    SetNamedPipeHandleState(input[1], &mode, nullptr, nullptr);

    child->process = started.hProcess;
    child->processId = static_cast<int32_t>(started.dwProcessId);
    child->outputRead = output[0];
    child->inputWrite = input[1];
    return 0;
}

// The argument as the C runtime reads it back: quoted when it holds a blank or is empty,
// with the backslashes before the closing quote doubled.
std::string quoted(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t") == std::string::npos) {
        return argument;
    }
    std::size_t backslashes = 0;
    while (backslashes < argument.size() && argument[argument.size() - 1 - backslashes] == '\\') {
        ++backslashes;
    }
    return "\"" + argument + std::string(backslashes, '\\') + "\"";
}
} // namespace

int startChild(const char* commandLine, StartedChild* child) {
    *child = StartedChild{kNoProcess, 0, kNoPipe, kNoPipe};
    // The same lines are refused as on POSIX: an unclosed quote, or no program.
    std::vector<std::string> arguments;
    if (splitCommandLine(commandLine, &arguments) != 0 || arguments[0].empty()) {
        return 0;
    }
    return start(commandLine, child) == 0 ? 1 : 0;
}

int startProgram(const std::vector<std::string>& arguments, StartedChild* child) {
    *child = StartedChild{kNoProcess, 0, kNoPipe, kNoPipe};
    std::string line;
    for (const std::string& argument : arguments) {
        if (argument.find('"') != std::string::npos) {
            return ERROR_INVALID_PARAMETER;
        }
        line += (line.empty() ? "" : " ") + quoted(argument);
    }
    if (arguments.empty() || arguments[0].empty()) {
        return ERROR_INVALID_PARAMETER;
    }
    return static_cast<int>(start(line.c_str(), child));
}

std::string startErrorText(int error) {
    char text[512] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, static_cast<DWORD>(error), 0, text, sizeof text, nullptr);
    while (length > 0 && std::strchr("\r\n .", text[length - 1]) != nullptr) {
        --length;
    }
    return length > 0 ? std::string(text, length) : "system error " + std::to_string(error);
}

void forceChildEnd(StartedChild* child, bool hard) {
    if (!hard) {
        closePipe(&child->inputWrite);
    } else if (child->process != kNoProcess && !hasEnded(child->process)) {
        TerminateProcess(child->process, 1);
    }
}

int waitChild(ProcessHandle process, int milliseconds) {
    if (process == kNoProcess) {
        return 1;
    }
    DWORD timeout = milliseconds < 0 ? 0 : static_cast<DWORD>(milliseconds);
    return WaitForSingleObject(process, timeout) == WAIT_OBJECT_0 ? 1 : 0;
}

ExitStatus childExitStatus(ProcessHandle process) {
    DWORD code = 0;
    // Asked only once it has ended: a program may well exit with STILL_ACTIVE's value.
    if (process == kNoProcess || !hasEnded(process) || !GetExitCodeProcess(process, &code)) {
        return ExitStatus{-1, false};
    }
    // No signals here: a crash ends the program with its exception code (0xC0000005...).
    return ExitStatus{static_cast<int32_t>(code), false};
}

void closeChild(ProcessHandle* process) {
    if (*process == kNoProcess) {
        return;
    }
    // A program that has not ended is never terminated; it just is no longer watched.
    CloseHandle(*process);
    *process = kNoProcess;
}
