// Splitting a composed command line: blanks separate, double quotes group.
#include "command_line_split.h"

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t'; }
} // namespace

int splitCommandLine(const char* line, std::vector<std::string>* arguments) {
    arguments->clear();
    if (line == nullptr) {
        return -1;
    }
    const char* p = line;
    for (;;) {
        while (isBlank(*p)) {
            ++p;
        }
        if (*p == '\0') {
            break;
        }
        // An argument runs to the next blank outside quotes; a quote opens one even
        // when nothing is inside, so "" stays an (empty) argument.
        std::string argument;
        bool quoted = false;
        while (*p != '\0' && (quoted || !isBlank(*p))) {
            if (*p == '"') {
                quoted = !quoted;
            } else {
                argument.push_back(*p);
            }
            ++p;
        }
        if (quoted) {
            arguments->clear();
            return -1;
        }
        arguments->push_back(std::move(argument));
    }
    return arguments->empty() ? -1 : 0;
}
