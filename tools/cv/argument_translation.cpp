// Translation of the encoder's legacy argument list for ffmpeg 5.1. The rules below
// were measured against Debian's ffmpeg 5.1: each one mends a value it would refuse.
#include "argument_translation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string_view>

namespace {

struct Item {
    std::string option; // empty for a positional argument (a file name)
    std::string value;  // the option's value, or the positional argument itself
    bool hasValue = false;
};

// Options that take no value; every other option is taken to take one.
bool isFlag(std::string_view option) {
    static constexpr std::string_view kFlags[] = {
        "-y",       "-n",        "-vn",      "-an",     "-sn",        "-dn",
        "-hide_banner", "-stats", "-nostats", "-shortest", "-copyts",  "-re",
        "-version", "-buildconf", "-formats", "-codecs", "-encoders", "-decoders",
        "-muxers",  "-demuxers", "-h",       "-help",   "-benchmark",
    };
    return std::find(std::begin(kFlags), std::end(kFlags), option) != std::end(kFlags);
}

bool isOneOf(std::string_view text, std::initializer_list<std::string_view> names) {
    return std::find(names.begin(), names.end(), text) != names.end();
}

std::vector<Item> parse(const std::vector<std::string>& legacy) {
    std::vector<Item> items;
    for (std::size_t i = 0; i < legacy.size(); ++i) {
        const std::string& argument = legacy[i];
        Item item;
        if (argument.size() > 1 && argument[0] == '-') {
            item.option = argument;
            if (!isFlag(argument) && i + 1 < legacy.size()) {
                item.value = legacy[++i];
                item.hasValue = true;
            }
        } else {
            item.value = argument;
            item.hasValue = true;
        }
        items.push_back(std::move(item));
    }
    return items;
}

// The lower-case extension of a path's file name, with its dot; empty when it has none.
std::string extensionOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string extension = path.substr(dot);
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return extension;
}

// The encoder this ffmpeg has for a legacy codec name in a given container.
std::string modernCodec(const std::string& codec, const std::string& extension) {
    if (isOneOf(codec, {"libvo_aacenc", "libfaac"}))
        return "aac";
    if (codec == "vorbis") // ffmpeg's own vorbis encoder is experimental and refused
        return "libvorbis";
    if (codec == "cook") // no cook encoder here; RealAudio 1.0 is the one RealAudio it writes
        return "real_144";
    // AU holds only big-endian samples; little-endian AIFF would silently become AIFF-C.
    if (codec == "pcm_s16le" && isOneOf(extension, {".au", ".aiff", ".aif"}))
        return "pcm_s16be";
    if (codec == "pcm_s8" && extension == ".wav") // 8-bit WAV is unsigned
        return "pcm_u8";
    return codec;
}

// The most channels an encoder writes; 0 when it takes whatever the container holds.
int channelLimit(const std::string& codec) {
    if (codec == "real_144")
        return 1;
    if (isOneOf(codec, {"libmp3lame", "mp2", "wmav1", "wmav2", "adpcm_ms", "adpcm_ima_wav"}))
        return 2;
    return 0;
}

// The sample rate an encoder takes that lies nearest to `rate` (the lower one on a tie).
int acceptedSampleRate(const std::string& codec, int rate) {
    static const std::vector<int> kMp3 = {8000,  11025, 12000, 16000, 22050,
                                          24000, 32000, 44100, 48000};
    static const std::vector<int> kAc3 = {32000, 44100, 48000};
    static const std::vector<int> kAac = {7350,  8000,  11025, 12000, 16000, 22050, 24000,
                                          32000, 44100, 48000, 64000, 88200, 96000};
    static const std::vector<int> kMp2 = {16000, 22050, 24000, 32000, 44100, 48000};
    const std::vector<int>* accepted = nullptr;
    if (codec == "libmp3lame")
        accepted = &kMp3;
    else if (codec == "ac3")
        accepted = &kAc3;
    else if (codec == "aac")
        accepted = &kAac;
    else if (codec == "mp2")
        accepted = &kMp2;
    else if (isOneOf(codec, {"wmav1", "wmav2"}))
        return std::min(rate, 48000);
    else if (codec == "real_144")
        return 8000;
    else
        return rate;
    int best = accepted->front();
    for (int candidate : *accepted)
        if (std::abs(candidate - rate) < std::abs(best - rate))
            best = candidate;
    return best;
}

// A bit rate text ("128K", "6.7k", "1.5M", "64000") in kilobits per second; -1 if unreadable.
double kilobitsOf(const std::string& text) {
    char* end = nullptr;
    const double number = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || !(number >= 0))
        return -1;
    const std::string_view suffix(end);
    if (suffix == "k" || suffix == "K")
        return number;
    if (suffix == "m" || suffix == "M")
        return number * 1000;
    if (suffix.empty())
        return number / 1000;
    return -1;
}

// libvorbis works best with a quality; this follows its nominal bit rates for stereo
// at 44.1 kHz (quality 4 is about 128 kbit/s), interpolated and kept within -1..10.
std::string vorbisQuality(double kilobits) {
    static constexpr double kTable[][2] = {{45, -1},  {64, 0},   {80, 1},   {96, 2},
                                           {112, 3},  {128, 4},  {160, 5},  {192, 6},
                                           {224, 7},  {256, 8},  {320, 9},  {500, 10}};
    constexpr std::size_t kRows = sizeof kTable / sizeof kTable[0];
    double quality = kTable[0][1];
    if (kilobits >= kTable[kRows - 1][0]) {
        quality = kTable[kRows - 1][1];
    } else {
        for (std::size_t i = 1; i < kRows; ++i) {
            if (kilobits < kTable[i][0]) {
                const double low = kTable[i - 1][0], high = kTable[i][0];
                const double share = std::max(0.0, (kilobits - low) / (high - low));
                quality = kTable[i - 1][1] + share * (kTable[i][1] - kTable[i - 1][1]);
                break;
            }
        }
    }
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", quality);
    return text;
}

// MPEG audio layer II has a fixed set of bit rates, smaller below 32 kHz; a rate above
// the set is lowered to the highest allowed one, any other rate to the next one below.
std::string mp2BitRate(double kilobits, int sampleRate) {
    static const std::vector<int> kFull = {32,  48,  56,  64,  80,  96,  112,
                                           128, 160, 192, 224, 256, 320, 384};
    static const std::vector<int> kLow = {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
    const std::vector<int>& allowed = sampleRate > 0 && sampleRate < 32000 ? kLow : kFull;
    int chosen = allowed.front();
    for (int rate : allowed)
        if (rate <= kilobits)
            chosen = rate;
    return std::to_string(chosen) + "K";
}

// Containers whose extension ffmpeg does not recognise, and the muxer that writes them.
const char* muxerForExtension(const std::string& extension) {
    if (extension == ".qt")
        return "mov";
    if (extension == ".3gpp")
        return "3gp";
    if (extension == ".3gp2")
        return "3g2";
    if (extension == ".oggv")
        return "ogg";
    if (extension == ".rmvb")
        return "rm";
    return nullptr;
}

// Containers that keep a cover picture copied from the source. Ogg is not among them:
// this ffmpeg's Ogg muxer refuses picture streams.
bool holdsCover(const std::string& extension) {
    return isOneOf(extension, {".mp3", ".m4a", ".m4b", ".mp4", ".flac", ".aiff", ".aif"});
}

// Containers whose tags and cover travel in an ID3 block only when it is asked for.
bool needsId3(const std::string& extension) {
    return isOneOf(extension, {".aiff", ".aif", ".aac"});
}

int parseInteger(const std::string& text) {
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return -1;
    return std::atoi(text.c_str());
}

} // namespace

std::string translateArguments(const std::vector<std::string>& legacy, FfmpegCommand& command) {
    command = {};
    std::vector<Item> items = parse(legacy);

    // What the later options depend on: the output container, the audio codec, its
    // channel count and sample rate. As in ffmpeg, the last occurrence of an option counts.
    std::string legacyCodec;
    bool hasMuxer = false;
    std::size_t outputIndex = items.size();
    for (std::size_t i = 0; i < items.size(); ++i) {
        const Item& item = items[i];
        if (item.option.empty()) {
            command.outputPath = item.value;
            outputIndex = i;
        } else if (isOneOf(item.option, {"-acodec", "-c:a", "-codec:a"}))
            legacyCodec = item.value;
        else if (item.option == "-f")
            hasMuxer = true;
    }
    const std::string extension = extensionOf(command.outputPath);

    if (isOneOf(legacyCodec, {"libopencore_amrnb", "libamr_nb", "amr_nb"}))
        return "AMR-NB cannot be encoded: this ffmpeg has no libopencore_amrnb encoder";
    if (extension == ".ram")
        return "RealAudio metafiles (.ram) cannot be written: this ffmpeg has no muxer for them";

    const std::string codec = modernCodec(legacyCodec, extension);
    std::vector<std::string>& notes = command.adjustments;
    if (codec == "real_144" && legacyCodec == "cook")
        notes.push_back("this ffmpeg has no cook encoder: wrote RealAudio 1.0 (real_144, "
                        "8000 Hz mono)");
    const int limit = channelLimit(codec);
    int channels = -1;
    int sampleRate = -1;
    bool hasVideoCodec = false;
    for (Item& item : items) {
        if (item.option == "-ac") {
            channels = item.value == "5.1" ? 6 : parseInteger(item.value);
            if (limit > 0 && channels > limit) {
                notes.push_back(codec + " cannot write " + std::to_string(channels) +
                                " channels: wrote " + std::to_string(limit));
                channels = limit;
            }
            if (channels > 0)
                item.value = std::to_string(channels);
        } else if (item.option == "-ar") {
            sampleRate = parseInteger(item.value);
            if (sampleRate > 0) {
                const int accepted = acceptedSampleRate(codec, sampleRate);
                if (accepted != sampleRate)
                    notes.push_back(codec + " cannot write " + std::to_string(sampleRate) +
                                    " Hz: wrote " + std::to_string(accepted) + " Hz");
                sampleRate = accepted;
                item.value = std::to_string(sampleRate);
            }
        } else if (isOneOf(item.option, {"-vcodec", "-c:v", "-codec:v"})) {
            hasVideoCodec = true;
        }
    }
    // An encoder with one fixed format is told it even when the profile leaves it open.
    std::vector<std::string> fixedFormat;
    if (codec == "real_144") {
        if (sampleRate < 0)
            fixedFormat.insert(fixedFormat.end(), {"-ar", "8000"});
        if (channels < 0)
            fixedFormat.insert(fixedFormat.end(), {"-ac", "1"});
    }

    // The DV muxer needs a full share of audio for every video frame and fails on the last
    // frames when a frame-rate change leaves the sound a little short: padded sound, cut
    // at the end of the video, always suffices.
    bool dvOutput = extension == ".dv";
    for (const Item& item : items)
        dvOutput = dvOutput || (item.option == "-target" && item.value.size() > 3 &&
                                item.value.compare(item.value.size() - 3, 3, "-dv") == 0);

    command.arguments.push_back("-hide_banner");
    for (std::size_t i = 0; i < items.size(); ++i) {
        Item& item = items[i];
        if (item.option.empty()) {
            if (dvOutput && i == outputIndex)
                command.arguments.insert(command.arguments.end(), {"-af", "apad", "-shortest"});
            // A muxer choice belongs right before the output file it applies to.
            const char* muxer = muxerForExtension(extension);
            if (i == outputIndex) {
                command.arguments.insert(command.arguments.end(), fixedFormat.begin(),
                                         fixedFormat.end());
                if (needsId3(extension))
                    command.arguments.insert(command.arguments.end(), {"-write_id3v2", "1"});
            }
            if (muxer && !hasMuxer && i == outputIndex) {
                command.arguments.push_back("-f");
                command.arguments.push_back(muxer);
            }
            command.arguments.push_back(item.value);
            continue;
        }
        if (item.option == "-vn" && !hasVideoCodec && holdsCover(extension)) {
            // "-vn" keeps moving video out; a cover is a picture, not video. Mapping the
            // first audio stream and every video stream but moving ones (V) keeps exactly
            // the attached pictures, copied with their cover marking.
            command.arguments.insert(command.arguments.end(),
                                     {"-map", "0:a:0", "-map", "0:v?", "-map", "-0:V?", "-c:v", "copy"});
            continue;
        }
        if (isOneOf(item.option, {"-acodec", "-c:a", "-codec:a"})) {
            item.option = "-c:a";
            item.value = modernCodec(item.value, extension);
        } else if (item.option == "-vcodec") {
            item.option = "-c:v";
        } else if (item.option == "-b") {
            item.option = "-b:v";
        } else if (item.option == "-ab" || item.option == "-b:a") {
            const double kilobits = kilobitsOf(item.value);
            item.option = "-b:a";
            if (legacyCodec == "vorbis" && kilobits >= 0) {
                item.option = "-q:a";
                item.value = vorbisQuality(kilobits);
            } else if (codec == "mp2" && kilobits >= 0) {
                const std::string allowed = mp2BitRate(kilobits, sampleRate);
                if (kilobitsOf(allowed) != kilobits)
                    notes.push_back("mp2 cannot write " + item.value + ": wrote " + allowed);
                item.value = allowed;
            } else if (codec == "ac3" && channels > 2 && kilobits >= 0 && kilobits < 48) {
                notes.push_back("ac3 cannot carry " + std::to_string(channels) + " channels in " +
                                item.value + ": wrote 48K");
                item.value = "48K"; // lower rates cannot carry six channels
            }
        }
        command.arguments.push_back(item.option);
        if (item.hasValue)
            command.arguments.push_back(item.value);
    }
    return {};
}
