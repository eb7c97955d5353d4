// cv.dat's argument translation on arbitrary argument lists: a command line as the
// engine composes it (split as the platform does), or, when the input holds a NUL,
// NUL-separated arguments such as any caller of cv.dat could pass.
#include "argument_translation.h"
#include "command_line_split.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> legacy;
    if (input.find('\0') == std::string::npos) {
        if (splitCommandLine(input.c_str(), &legacy) != 0) {
            return 0;
        }
        legacy.erase(legacy.begin()); // the program's own path
    } else {
        std::size_t start = 0;
        for (std::size_t nul; (nul = input.find('\0', start)) != std::string::npos;
             start = nul + 1) {
            legacy.push_back(input.substr(start, nul - start));
        }
        legacy.push_back(input.substr(start));
    }

    FfmpegCommand command;
    const std::string refusal = translateArguments(legacy, command);
    if (!refusal.empty()) {
        if (refusal.find('\n') != std::string::npos) {
            std::abort(); // a reason is one line
        }
        return 0;
    }
    if (command.arguments.empty() || command.arguments.front() != "-hide_banner" ||
        (!command.outputPath.empty() &&
         std::find(legacy.begin(), legacy.end(), command.outputPath) == legacy.end())) {
        std::abort();
    }
    return 0;
}
