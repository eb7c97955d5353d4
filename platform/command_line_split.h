// Splitting a composed command line back into its arguments.
#pragma once

#include <string>
#include <vector>

// The exact inverse of how our command lines are composed: blanks (space, tab)
// separate arguments, double quotes group and are removed ("" is an empty argument),
// nothing else is special. Returns 0, or -1 for an unclosed quote or no argument.
int splitCommandLine(const char* line, std::vector<std::string>* arguments);
