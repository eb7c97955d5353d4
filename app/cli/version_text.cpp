// The --version text of both programs.
#include "version_text.h"

std::string versionText(const std::string& program, const std::string& version) {
    return program + " " + version +
           "\n"
           "Copyright (C) 2026 The Nemarro developers\n"
           "License GPL-3.0-or-later <https://www.gnu.org/licenses/gpl-3.0.html>.\n"
           "This is free software: you are free to change and redistribute it.\n"
           "There is NO WARRANTY, to the extent permitted by law.\n";
}
