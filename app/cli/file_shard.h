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
// their walks and wherever the library is mounted. The extension is left out of the hash:
// "song.flac" and "song.wav" of one folder would write one output name, and in one share
// the counter rule of one process tells them apart. FNV-1a's last bytes reach only a few
// of its bits ("Disc 1/07" and "Disc 1/08" would mostly share), so the hash is mixed
// through MurmurHash3's 64-bit finaliser, which makes every bit depend on every byte, and
// its high bits pick the share (hash * count / 2^64).
int shardOf(std::string_view relativePath, int count);
