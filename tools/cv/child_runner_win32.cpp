// Running one child program through the platform layer's CreateProcessA start: its input
// and output are anonymous pipes, watched by turns with a 1 ms wait between idle rounds.
#include "child_runner.h"

#include "pipe_io.h"

#include <atomic>
#include <windows.h>

namespace {

std::atomic<bool> g_stopRequested{false};

// Runs on a thread of its own: only notes the request, the runner's loop passes it on.
BOOL WINAPI noteConsoleStop(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    g_stopRequested = true;
    return TRUE;
}

// The argument as the C runtime reads it back: quoted when it holds a blank or is empty,
// and backslashes doubled where they precede the closing quote.
std::string quoted(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t") == std::string::npos)
        return argument;
    std::string result = "\"" + argument;
    std::size_t backslashes = 0;
    while (backslashes < argument.size() && argument[argument.size() - 1 - backslashes] == '\\')
        ++backslashes;
    return result.append(backslashes, '\\') + "\"";
}

// A failure of the system, in its own words.
std::string systemMessage(DWORD error) {
    char text[512] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, text, sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' ||
                          text[length - 1] == ' ' || text[length - 1] == '.'))
        --length;
    return length > 0 ? std::string(text, length) : "system error " + std::to_string(error);
}

void writeAll(PipeHandle pipe, const char* data, int size) {
    int written = 0;
    while (size > 0 && writePipe(pipe, data, size, &written) == PipeResult::Ok) {
        data += written;
        size -= written;
    }
    // A failure means the child no longer reads its input: nothing to pass on.
}

// Reads what waits on `pipe`, at most `size` bytes. Ok with 0 bytes when nothing waits.
PipeResult readWaiting(PipeHandle pipe, char* buffer, int size, int* bytesRead) {
    *bytesRead = 0;
    int waiting = 0;
    PipeResult result = pipeBytesWaiting(pipe, &waiting);
    if (result != PipeResult::Ok || waiting == 0)
        return result;
    return readPipe(pipe, buffer, waiting < size ? waiting : size, bytesRead);
}

} // namespace

struct ChildRunner::State {
    void stopChild();

    StartedChild m_child{kNoProcess, 0, kNoPipe, kNoPipe};
    // 0: running; 1: "q" sent; 2: terminated.
    int m_stopStep = 0;
    ULONGLONG m_terminateAtMs = 0;
};

void ChildRunner::State::stopChild() {
    if (m_stopStep == 0) {
        m_stopStep = 1;
        m_terminateAtMs = GetTickCount64() + kStopGraceMs + kKillGraceMs;
        writeAll(m_child.inputWrite, "q\n", 2);
    } else if (m_stopStep == 1 && GetTickCount64() >= m_terminateAtMs) {
        m_stopStep = 2;
        TerminateProcess(m_child.process, 1);
    }
}

ChildRunner::ChildRunner() : m_state(std::make_unique<State>()) {}

ChildRunner::~ChildRunner() = default;

std::string ChildRunner::run(const std::string& program, const std::vector<std::string>& arguments,
                             const OutputHandler& onOutput, ExitStatus& status) {
    // The program's path comes first in the line: CreateProcessA starts what it names.
    std::string line = quoted(program);
    for (std::size_t i = 1; i < arguments.size(); ++i)
        line += " " + quoted(arguments[i]);
    State& state = *m_state;
    state.m_stopStep = 0;
    if (startChild(line.c_str(), &state.m_child) != 1)
        return systemMessage(GetLastError());

    // Only a pipe has a writer whose end we can see; a console would never end.
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    bool watchInput =
        input != nullptr && input != INVALID_HANDLE_VALUE && GetFileType(input) == FILE_TYPE_PIPE;
    g_stopRequested = false;
    SetConsoleCtrlHandler(noteConsoleStop, TRUE);

    char buffer[65536];
    for (;;) {
        if (g_stopRequested.exchange(false))
            writeAll(state.m_child.inputWrite, "q\n", 2);
        int got = 0;
        const PipeResult output =
            readWaiting(state.m_child.outputRead, buffer, sizeof buffer, &got);
        if (output != PipeResult::Ok)
            break; // every writer has closed the pipe: the child has ended
        if (got > 0 && !onOutput(buffer, static_cast<std::size_t>(got)))
            state.stopChild(); // nobody reads what the child reports any more
        bool busy = got > 0;
        if (watchInput) {
            char bytes[512];
            if (readWaiting(input, bytes, sizeof bytes, &got) != PipeResult::Ok) {
                watchInput = false; // whoever started us is gone
                state.stopChild();
            } else if (got > 0) {
                writeAll(state.m_child.inputWrite, bytes, got);
                busy = true;
            }
        }
        if (state.m_stopStep > 0)
            state.stopChild(); // the forced end once its time has come
        // Once the child has ended the wait no longer waits; whatever still holds its
        // output pipe is given time without the loop spinning.
        if (!busy && waitChild(state.m_child.process, 1) == 1)
            Sleep(1);
    }
    closePipe(&state.m_child.outputRead);
    while (waitChild(state.m_child.process, 10) == 0)
        if (state.m_stopStep > 0)
            state.stopChild();
    SetConsoleCtrlHandler(noteConsoleStop, FALSE);
    closePipe(&state.m_child.inputWrite);
    status = childExitStatus(state.m_child.process);
    closeChild(&state.m_child.process);
    return {};
}
