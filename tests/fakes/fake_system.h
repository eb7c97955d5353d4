// What the scriptable fake does differently on each system: its standard streams, a
// crash, and the commands only one system has.
#pragma once

#include <string>

// Writes all of `text` to stdout (1) or stderr (2), unchanged (no newline translation).
void writeAll(int stream, const std::string& text);
// Reads what stdin brings within `timeoutMs`: the byte count, 0 when nothing came, -1 at
// its end or on an error.
int readInput(char* buffer, int size, long long timeoutMs);
// This process's id.
long processId();
// Closes stdout and stderr; the program keeps running.
void closeOutput();
// Ends the program the way a crash ends it on this system.
[[noreturn]] void crash();
// Runs a command that exists only on this system; unknown commands do nothing.
void runSystemCommand(const std::string& command, const std::string& rest, int argc, char** argv);
