// The command-line splitter on arbitrary lines: whatever it accepts must come back
// unchanged when composed again the way our command lines are (each argument quoted by
// appendQuotedArgument, quotes and backslashes inside it escaped).
#include "command_line_split.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> arguments;
    if (splitCommandLine(line.c_str(), &arguments) != 0) {
        if (!arguments.empty()) {
            std::abort();
        }
        return 0;
    }
    // Escaping at most doubles an argument; each adds its two quotes and a blank.
    std::vector<char> composed(2 * line.size() + 3 * arguments.size() + 1, '\0');
    for (const std::string& argument : arguments) {
        if (composed[0] != '\0') {
            std::strcat(composed.data(), " ");
        }
        if (appendQuotedArgument(composed.data(), composed.size(), argument.c_str()) != 0) {
            std::abort();
        }
    }
    std::vector<std::string> again;
    if (splitCommandLine(composed.data(), &again) != 0 || again != arguments) {
        std::abort();
    }
    return 0;
}
