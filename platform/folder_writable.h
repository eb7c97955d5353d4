// Whether new files can be created in a folder, tested by creating one.
#pragma once

// True when a file can be created in `folder` (8-bit, with or without a trailing
// separator). The test file has a name of its own that no other file has: it is created
// exclusively, so an existing file is never opened, and removed at once.
bool folderIsWritable(const char* folder);
