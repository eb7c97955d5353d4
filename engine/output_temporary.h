// The hidden name an output is written under until it is whole, and the clearing of such
// files that a run killed before it could rename them left behind.
#pragma once

#include <cstdint>

// Every temporary output's name begins so: ".nemarro-part-<process>-<n><extension>".
inline constexpr char kTemporaryOutputPrefix[] = ".nemarro-part-";

// The temporary path of the output at `finalPath`: the same folder, the prefix, this
// process's id, a number counted up in this process, and the output's extension (ffmpeg
// picks the format by it). Short whatever the output's name, so it fits wherever the
// name does. Returns 0, or -1 when it does not fit `size` (temporary then empty).
int temporaryOutputPath(const char* finalPath, char* temporary, std::size_t size);
// True when `name` (a file name without folder) is a temporary output's; `processId` then
// holds the id of the process that writes it.
bool isTemporaryOutputName(const char* name, int64_t* processId);
// Removes the temporary outputs in `folder` whose process runs no more (a killed run's);
// a running process's are left alone. Returns how many went.
int removeStaleTemporaries(const char* folder);
