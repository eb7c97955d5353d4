// The folder of the running executable, where its helper programs and small files live.
#pragma once

#include <cstddef>

// Writes the folder without its trailing separator ("" for the root). Returns 0, or -1
// when it cannot be found or does not fit `size` bytes (the buffer is then empty).
int executableFolder(char* folder, std::size_t size);
