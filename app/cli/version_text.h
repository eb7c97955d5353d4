// What --version prints, for the window and for the command-line converter alike: the
// program's name and version, then its copyright and licence. No toolkit here.
#pragma once

#include <string>

// Ends in a line end; the first line is "<program> <version>".
std::string versionText(const std::string& program, const std::string& version);
