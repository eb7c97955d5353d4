// The output paths of encoder runs going on at once. A dry run over a whole library
// claims every name it plans, so the set grows with the list, not with the lanes.
#include "output_claims.h"

#include <string>
#include <unordered_set>

namespace {
std::unordered_set<std::string>& claims() {
    static std::unordered_set<std::string> paths;
    return paths;
}
} // namespace

int claimOutputPath(const char* path) {
    if (path[0] == '\0') {
        return -1;
    }
    claims().insert(path);
    return 0;
}

void releaseOutputPath(const char* path) {
    claims().erase(path);
}

bool outputPathClaimed(const char* path) {
    return claims().count(path) != 0;
}
