// --shard K/N: which of N shares a file belongs to, so that N processes (on one machine or
// many) split one library between them without talking to each other.
#pragma once

#include <cstdint>
#include <string_view>

// The largest N of --shard K/N: more shares than a cluster has cores is no use, and the
// number stays far below where the share's rounding would matter.
inline constexpr int kMaxShards = 1000000;

// FNV-1a, 64 bits, over the bytes of `text`. Chosen because it is defined byte by byte,
// so every machine, compiler and later version of this program gives the same value
// (std::hash promises none of that), and it costs a multiply per byte; a share needs no
// protection against chosen names.
std::uint64_t pathHash(std::string_view text);

// The share (1..count) of a file whose path below its given folder is `relativePath`
// ('/'-separated). It depends on that path alone, so two runs agree whatever the order of
// their walks and wherever the library is mounted. The hash's high bits pick the share
// (hash * count / 2^64): FNV-1a's low bits follow the last bytes too closely for a plain
// remainder.
int shardOf(std::string_view relativePath, int count);
