// The command-line splitter on arbitrary lines: whatever it accepts must come back
// unchanged when composed again the way our command lines are (each argument quoted).
#include "command_line_split.h"

#include <cstdint>
#include <cstdlib>
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
    std::string composed;
    for (const std::string& argument : arguments) {
        if (argument.find('"') != std::string::npos) {
            std::abort();
        }
        composed += (composed.empty() ? "\"" : " \"") + argument + "\"";
    }
    std::vector<std::string> again;
    if (splitCommandLine(composed.c_str(), &again) != 0 || again != arguments) {
        std::abort();
    }
    return 0;
}
