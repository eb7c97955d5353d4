// Finding a program on PATH the way a shell does.
#pragma once

#include <string>

// The full path of the first executable regular file called `name` in the folders of
// PATH (the system's default search path when PATH is unset); a name holding a slash is
// taken as it is. Empty when there is none.
std::string findProgramOnPath(const std::string& name);
