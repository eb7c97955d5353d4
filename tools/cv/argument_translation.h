// Translation of the encoder's legacy argument list into one that ffmpeg 5.1 accepts.
#pragma once

#include <string>
#include <vector>

struct FfmpegCommand {
    std::vector<std::string> arguments; // ffmpeg's arguments, without the program name
    std::string outputPath;             // the file the run writes; empty when none is named
    // One line per value changed because the encoder cannot take it ("ac3 cannot write
    // 96000 Hz: wrote 48000 Hz"), so the user learns why the file differs from the profile.
    std::vector<std::string> adjustments;
};

// The caller composes [-ss S] -i "in" [-t T] [-vn] -y [video options] -acodec C [-ab B]
// [-ar R] [-ac 2|1|5.1] "out". Codec names, channel counts, sample rates and bit rates
// that this ffmpeg refuses are mapped to the nearest thing it takes (each change named in
// `adjustments`); everything else is passed on unchanged and in order. An audio-only line
// keeps the source's cover pictures and tags where the container can hold them. A line
// with two inputs, -i "output" -i "source" -vn -y -acodec copy "new", re-tags: the first
// one's sound copied with the second one's tags and cover. Returns an empty text on success, else the one-line
// reason the conversion cannot be done at all (then nothing must be run).
std::string translateArguments(const std::vector<std::string>& legacy, FfmpegCommand& command);
