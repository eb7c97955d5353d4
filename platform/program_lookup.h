// Finding a program the way this system's shell does.
#pragma once

#include <string>

// The full path of the first program called `name` that can be started. POSIX: an
// executable regular file in the folders of PATH (the system's default search path when
// PATH is unset). Windows: `name` with ".exe" added when it has no extension, looked for
// beside this program first and then in the folders of PATH (';' between them). A name
// holding a folder separator is taken as it is. Empty when there is none.
std::string findProgramOnPath(const std::string& name);

// Whether findProgramOnPath looks beside this program first (Windows), for messages.
extern const bool kProgramLookupTriesOwnFolder;
