// The --files-from list: paths from another tool, one a line or NUL-separated.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The paths of `text`, split at `separator` ('\n', or '\0' for find -print0); empty
// entries are left out, and nothing else is changed: a path may begin or end with blanks.
std::vector<std::string> splitFileList(std::string_view text, char separator);

// Reads the list from `source` ("-": standard input) whole. False, with `error` saying
// why, when it cannot be read.
bool readFileList(const std::string& source, char separator, std::vector<std::string>* paths,
                  std::string* error);
