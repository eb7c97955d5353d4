// Composing output paths, telling whether one is taken, and the claims that make a name
// taken before its file exists.
#include "output_name.h"

#include "bounded_text.h"
#include "path_exists.h"
#include "path_limits.h"
#include "path_separator.h"

#include <cstring>

int composeOutputPath(char* path, const char* folder, const char* baseName, const char* extension) {
    const std::size_t length = std::strlen(folder);
    const char* separator =
        length > 0 && !isPathSeparator(folder[length - 1]) ? NEMARRO_PATH_SEPARATOR : "";
    return formatText(path, kPathSize, "%s%s%s%s", folder, separator, baseName, extension);
}

bool outputPathTaken(const OutputClaims* claims, const char* path) {
    return pathExists(path) || (claims != nullptr && claims->paths.count(path) != 0);
}

void claimOutputPath(OutputClaims* claims, const char* path) {
    if (path[0] != '\0')
        claims->paths.insert(path);
}

void releaseOutputPath(OutputClaims* claims, const char* path) {
    claims->paths.erase(path);
}

int mirroredOutputFolder(char* folder, const char* outputRoot, const char* relativeFolder) {
    folder[0] = '\0';
    std::size_t rootLength = std::strlen(outputRoot);
    // "out/" names "out": the outputs' paths get no doubled separator.
    while (rootLength > 1 && isPathSeparator(outputRoot[rootLength - 1]))
        --rootLength;
    if (rootLength == 0)
        return 0;
    const bool below = relativeFolder[0] != '\0';
    const char* separator =
        below && !isPathSeparator(outputRoot[rootLength - 1]) ? NEMARRO_PATH_SEPARATOR : "";
    return formatText(folder, kPathSize, "%.*s%s%s", int(rootLength), outputRoot, separator,
                      relativeFolder);
}
