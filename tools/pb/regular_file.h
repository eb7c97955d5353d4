// Telling, without opening it, whether a path names a regular file.
#pragma once

// nullptr when `path` (links followed) is a regular file that exists; otherwise why it
// is refused, as a short phrase ("a folder", "a named pipe", ...). Opening a named pipe,
// a device or a socket can wait forever, so they are turned away before anything reads.
const char* whyNotARegularFile(const char* path);
