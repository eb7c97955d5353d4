// The share a file belongs to under --shard.
#include "file_shard.h"

namespace {
// FNV-1a's published 64-bit parameters.
constexpr std::uint64_t kOffsetBasis = 14695981039346656037ull;
constexpr std::uint64_t kPrime = 1099511628211ull;

// MurmurHash3's fmix64, with its published constants.
std::uint64_t mixed(std::uint64_t hash) {
    hash ^= hash >> 33;
    hash *= 0xff51afd7ed558ccdull;
    hash ^= hash >> 33;
    hash *= 0xc4ceb9fe1a85ec53ull;
    hash ^= hash >> 33;
    return hash;
}

} // namespace

std::uint64_t pathHash(std::string_view text) {
    std::uint64_t hash = kOffsetBasis;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= kPrime;
    }
    return hash;
}

int shardOf(std::string_view relativePath, int count) {
    // The top 64 bits of hash * count, in two halves: each product stays below 2^52 as
    // count is at most kMaxShards (below 2^20).
    const std::size_t name = relativePath.rfind('/') + 1; // 0 without a folder
    const std::size_t dot = relativePath.rfind('.');
    if (dot != std::string_view::npos && dot > name) {
        relativePath = relativePath.substr(0, dot);
    }
    const std::uint64_t hash = mixed(pathHash(relativePath));
    const std::uint64_t n = static_cast<std::uint64_t>(count);
    const std::uint64_t low = ((hash & 0xffffffffu) * n) >> 32;
    return static_cast<int>(((hash >> 32) * n + low) >> 32) + 1;
}
