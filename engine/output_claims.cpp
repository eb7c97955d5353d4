// The output paths of encoder runs going on at once.
#include "output_claims.h"

#include "bounded_text.h"
#include "conversion_job.h"

#include <cstring>

namespace {
char g_claims[kMaxOutputClaims][kPathSize]; // an empty entry is free
} // namespace

int claimOutputPath(const char* path) {
    for (auto& claim : g_claims) {
        if (claim[0] == '\0') {
            return path[0] != '\0' && copyText(claim, sizeof claim, path) == 0 ? 0 : -1;
        }
    }
    return -1;
}

void releaseOutputPath(const char* path) {
    for (auto& claim : g_claims) {
        if (claim[0] != '\0' && std::strcmp(claim, path) == 0) {
            claim[0] = '\0';
            return;
        }
    }
}

bool outputPathClaimed(const char* path) {
    for (const auto& claim : g_claims) {
        if (claim[0] != '\0' && std::strcmp(claim, path) == 0) {
            return true;
        }
    }
    return false;
}
