// The running executable's own full path, as each system tells it; executable_folder.cpp
// takes its folder.
#pragma once

#include <cstddef>

// Returns 0, or -1 when the path cannot be had or does not fit `size` bytes.
int executablePath(char* path, std::size_t size);
