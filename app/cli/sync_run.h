// nemarro-cli --sync -o MIRROR SOURCE...: keeps MIRROR a copy of the sources in the
// chosen profile, judged against the manifest of what earlier syncs wrote there.
#pragma once

#include "cli_options.h"

// Syncs what `options` names with the tools in `toolFolder` (cv.dat, pb.dat); with
// options.dryRun prints the plan and changes nothing. Returns the exit status.
int runSync(const CliOptions& options, const char* toolFolder);
