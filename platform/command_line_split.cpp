// Composing and splitting command lines: blanks separate, double quotes group, and
// backslashes escape a quote as the Windows C runtime reads them.
#include "command_line_split.h"

#include <cstring>

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t'; }
} // namespace

bool commandLineCanCarry(const char* argument) {
#ifdef _WIN32
    return std::strchr(argument, '"') == nullptr;
#else
    (void)argument;
    return true;
#endif
}

int appendQuotedArgument(char* line, std::size_t size, const char* argument) {
    if (!commandLineCanCarry(argument)) {
        return -1;
    }
    const std::size_t start = std::strlen(line);
    std::size_t at = start;
    // Writes one byte when it fits with the terminator; a line that would not fit is
    // given back as it was.
    auto put = [&](char c) {
        if (at + 1 >= size) {
            return false;
        }
        line[at++] = c;
        return true;
    };
    bool fits = put('"');
    for (const char* p = argument; fits && *p != '\0';) {
        std::size_t backslashes = 0;
        while (p[backslashes] == '\\') {
            ++backslashes;
        }
        const char after = p[backslashes];
        // Backslashes count double only where a quote follows: an escaped one inside, or
        // the closing one the line adds.
        const std::size_t written = after == '"'    ? 2 * backslashes + 1
                                    : after == '\0' ? 2 * backslashes
                                                    : backslashes;
        for (std::size_t i = 0; fits && i < written; ++i) {
            fits = put('\\');
        }
        p += backslashes;
        if (fits && *p != '\0') {
            fits = put(*p++);
        }
    }
    fits = fits && put('"');
    line[fits ? at : start] = '\0';
    return fits ? 0 : -1;
}

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
            std::size_t backslashes = 0;
            while (p[backslashes] == '\\') {
                ++backslashes;
            }
            if (p[backslashes] != '"') {
                argument.append(backslashes, '\\');
                p += backslashes;
                if (backslashes == 0) {
                    argument.push_back(*p++);
                }
                continue;
            }
            argument.append(backslashes / 2, '\\');
            p += backslashes;
            if (backslashes % 2 == 1) {
                argument.push_back('"'); // an escaped quote is part of the argument
            } else {
                quoted = !quoted;
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
