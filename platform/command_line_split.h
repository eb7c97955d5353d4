// Composing a command line from arguments and splitting it back into them: one syntax,
// both directions, so the two can never drift apart.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// True when `argument` can travel in a quoted argument of a composed line. Windows names
// cannot hold a double quote, and there the program's runtime splits the line, so one is
// refused; here a double quote is escaped and carried like any other byte.
bool commandLineCanCarry(const char* argument);

// Appends `argument` in double quotes behind the text `line` holds (a buffer of `size`
// bytes), escaped as Windows' own argument rules escape it: a double quote inside becomes
// \" and the backslashes right before it, or before the closing quote, are doubled; every
// other backslash stays as it is, so an ordinary path reads the same as before. Returns
// 0, or -1 when the argument cannot be carried or the line would not fit (the line then
// keeps its old text).
int appendQuotedArgument(char* line, std::size_t size, const char* argument);

// The exact inverse: blanks (space, tab) separate arguments, double quotes group and are
// removed ("" is an empty argument); a run of backslashes followed by a double quote gives
// half of them, and an odd one out makes that quote a literal character; backslashes not
// followed by a quote are ordinary. Returns 0, or -1 for an unclosed quote or no argument.
int splitCommandLine(const char* line, std::vector<std::string>* arguments);
