// Starting a console program from a composed command line, with stdin on one pipe
// and stdout+stderr joined on another, waiting for its end and keeping its exit status.
#pragma once

#include "native_handles.h"

#include <cstdint>
#include <string>
#include <vector>

// How a program ended.
struct ExitStatus {
    int32_t code;      // exit code, or the signal number when bySignal; -1 when unknown
    bool bySignal;
};

// What startChild gives back for a started program.
struct StartedChild {
    ProcessHandle process;
    int32_t processId;
    PipeHandle outputRead; // the program's stdout and stderr, read end
    PipeHandle inputWrite; // the program's stdin, write end (non-blocking)
};

// Starts the program that the first argument of `commandLine` names. Its arguments are
// the line as composed: blanks separate, double quotes group (and are removed), and
// backslashes escape a quote (command_line_split.h). On POSIX the line is split so; on
// Windows it reaches the program whole and the program's runtime splits it by the same
// rules, which are its own. The program runs apart from our terminal or console (its own
// session; on Windows detached) and receives only its two pipe ends. Returns 1 when it runs, 0 when
// not (bad line, missing program, no pipes); then nothing stays open and `child` is cleared.
int startChild(const char* commandLine, StartedChild* child);

// Starts the program `arguments[0]` names (a path) with exactly these arguments, in the
// same way. Windows composes the command line so that the program's runtime splits it
// back into them; an argument holding a double quote cannot be passed. Returns 0 when it
// runs, else the system's error number (startErrorText gives its words).
int startProgram(const std::vector<std::string>& arguments, StartedChild* child);
std::string startErrorText(int error);

// Ends a program that has not ended by force: gently (POSIX SIGTERM; a Windows program
// without a console has no gentler request than the end of its input, which this closes)
// or hard (SIGKILL, TerminateProcess).
void forceChildEnd(StartedChild* child, bool hard);

// Waits at most `milliseconds` for the program to end. Returns 1 once it has ended
// (also at every later call), 0 while it runs.
int waitChild(ProcessHandle process, int milliseconds);

// How the program ended; `code` -1 when it has not been seen to end.
ExitStatus childExitStatus(ProcessHandle process);

// Lets go of the handle and sets it to kNoProcess. A program that has not ended is
// never killed: it is left to end on its own and collected then.
void closeChild(ProcessHandle* process);
