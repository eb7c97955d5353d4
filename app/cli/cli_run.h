// One run of nemarro-cli: read the given files, convert them on several lanes, report.
#pragma once

#include "cli_options.h"

// Converts what `options` names with the tools in `toolFolder` (cv.dat, pb.dat). Returns
// the exit status.
int runConversion(const CliOptions& options, const char* toolFolder);
