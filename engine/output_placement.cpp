// Putting a temporary output in its place by renaming it in its own folder.
#include "output_placement.h"

#include "bounded_text.h"
#include "conversion_job.h"
#include "encoder_command_line.h"
#include "file_rename.h"
#include "output_name.h"
#include "path_limits.h"

namespace {
// A name taken meanwhile, time and again, by another program: give up after this many.
constexpr int kPlacementTries = 16;
} // namespace

bool placeWholeOutput(ConversionJob* job, const char* temporary, char* finalPath,
                      const OutputClaims* claims) {
    for (int attempt = 0; attempt < kPlacementTries; ++attempt) {
        const int renamed = renameWithoutReplacing(temporary, finalPath);
        if (renamed != kRenameTargetExists) {
            return renamed == kRenameDone;
        }
        if (buildOutputPath(job, finalPath, claims) != kBuildDone) {
            return false;
        }
    }
    return false;
}

bool keepShorterOutput(const ConversionJob& job, const char* temporary, const char* mark,
                       char* keptPath, const OutputClaims* claims) {
    const char* extension = job.profile != nullptr ? selectedExtension(*job.profile) : nullptr;
    char folder[kPathSize];
    char baseName[kPathSize];
    for (int attempt = 0; extension != nullptr && attempt < kPlacementTries; ++attempt) {
        if (outputFolder(job, folder) != kBuildDone ||
            formatText(baseName, sizeof baseName, "%s (%s)", outputStem(job), mark) != 0 ||
            uniqueOutputName(baseName, folder, extension, claims) != kBuildDone ||
            composeOutputPath(keptPath, folder, baseName, extension) != 0) {
            return false;
        }
        const int renamed = renameWithoutReplacing(temporary, keptPath);
        if (renamed != kRenameTargetExists) {
            return renamed == kRenameDone;
        }
    }
    return false;
}
