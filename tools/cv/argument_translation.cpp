// Translation of the encoder's legacy argument list for ffmpeg 5.1. The rules are two
// tables, one per codec and one per output container, measured against Debian's ffmpeg
// 5.1: each row mends a value it would refuse. Then three steps: read, decide, write.
#include "argument_translation.h"

#include "bit_rate.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <span>
#include <string_view>

namespace {

constexpr int kMp3Rates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
constexpr int kAc3Rates[] = {32000, 44100, 48000};
constexpr int kAacRates[] = {7350,  8000,  11025, 12000, 16000, 22050, 24000,
                             32000, 44100, 48000, 64000, 88200, 96000};
constexpr int kMp2Rates[] = {16000, 22050, 24000, 32000, 44100, 48000};
constexpr int kRealAudio1Rates[] = {8000};

// How a codec takes the bit rate option.
enum class BitRateRule {
    AsGiven,
    VorbisQuality, // ffmpeg's own vorbis encoder is experimental: libvorbis with a quality
    Mp2Set,        // MPEG audio layer II has a fixed set of bit rates
    Ac3Surround,   // AC-3 cannot carry six channels in less than 48K
};

struct CodecRule {
    const char* legacy;         // the name in the legacy line
    const char* ffmpeg;         // the encoder this ffmpeg has for it
    int channelLimit;           // the most channels it writes; 0 for any
    std::span<const int> rates; // the sample rates it takes; empty for any
    int highestRate;            // 0 for no limit
    BitRateRule bitRate = BitRateRule::AsGiven;
    const char* note = nullptr;    // named whenever the codec is used
    const char* refusal = nullptr; // the codec cannot be written at all
};

constexpr char kNoAmr[] = "AMR-NB cannot be encoded: this ffmpeg has no libopencore_amrnb encoder";

// RealAudio 1.0 writes one format only; it is given even when the profile leaves it open.
const CodecRule kCodecs[] = {
    {"libvo_aacenc", "aac", 0, kAacRates, 0},
    {"libfaac", "aac", 0, kAacRates, 0},
    {"aac", "aac", 0, kAacRates, 0},
    {"vorbis", "libvorbis", 0, {}, 0, BitRateRule::VorbisQuality},
    {"cook", "real_144", 1, kRealAudio1Rates, 0, BitRateRule::AsGiven,
     "this ffmpeg has no cook encoder: wrote RealAudio 1.0 (real_144, 8000 Hz mono)"},
    {"real_144", "real_144", 1, kRealAudio1Rates, 0},
    {"libmp3lame", "libmp3lame", 2, kMp3Rates, 0},
    {"mp2", "mp2", 2, kMp2Rates, 0, BitRateRule::Mp2Set},
    {"ac3", "ac3", 0, kAc3Rates, 0, BitRateRule::Ac3Surround},
    {"wmav1", "wmav1", 2, {}, 48000},
    {"wmav2", "wmav2", 2, {}, 48000},
    {"adpcm_ms", "adpcm_ms", 2, {}, 0},
    {"adpcm_ima_wav", "adpcm_ima_wav", 2, {}, 0},
    {"libopencore_amrnb", nullptr, 0, {}, 0, BitRateRule::AsGiven, nullptr, kNoAmr},
    {"libamr_nb", nullptr, 0, {}, 0, BitRateRule::AsGiven, nullptr, kNoAmr},
    {"amr_nb", nullptr, 0, {}, 0, BitRateRule::AsGiven, nullptr, kNoAmr},
};

struct ContainerRule {
    const char* extension;            // lower case, with its dot
    const char* muxer;                // for an extension ffmpeg does not recognise
    bool cover;                       // keeps a cover picture copied from the source
    bool id3;                         // tags and cover travel in an ID3 block only when asked for
    const char* sampleFormat[2] = {}; // a PCM codec it cannot hold, and the one it can
    bool dv = false;
    const char* refusal = nullptr;
};

// Ogg holds no cover: this ffmpeg's Ogg muxer refuses picture streams. AU holds only
// big-endian samples, little-endian AIFF would silently become AIFF-C, and 8-bit WAV is
// unsigned. The DV muxer needs a full share of audio for every video frame.
const ContainerRule kContainers[] = {
    {".mp3", nullptr, true, false},
    {".m4a", nullptr, true, false},
    {".m4b", nullptr, true, false},
    {".mp4", nullptr, true, false},
    {".flac", nullptr, true, false},
    {".aiff", nullptr, true, true, {"pcm_s16le", "pcm_s16be"}},
    {".aif", nullptr, true, true, {"pcm_s16le", "pcm_s16be"}},
    {".aac", nullptr, false, true},
    {".au", nullptr, false, false, {"pcm_s16le", "pcm_s16be"}},
    {".wav", nullptr, false, false, {"pcm_s8", "pcm_u8"}},
    {".qt", "mov", false, false},
    {".3gpp", "3gp", false, false},
    {".3gp2", "3g2", false, false},
    {".oggv", "ogg", false, false},
    {".rmvb", "rm", false, false},
    {".dv", nullptr, false, false, {}, true},
    {".ram",
     nullptr,
     false,
     false,
     {},
     false,
     "RealAudio metafiles (.ram) cannot be written: this ffmpeg has no muxer for them"},
};

bool isOneOf(std::string_view text, std::initializer_list<std::string_view> names) {
    return std::find(names.begin(), names.end(), text) != names.end();
}

const CodecRule* codecRule(std::string_view legacy) {
    for (const CodecRule& rule : kCodecs)
        if (legacy == rule.legacy)
            return &rule;
    return nullptr;
}

const ContainerRule* containerRule(std::string_view extension) {
    for (const ContainerRule& rule : kContainers)
        if (extension == rule.extension)
            return &rule;
    return nullptr;
}

struct Item {
    std::string option; // empty for a positional argument (a file name)
    std::string value;  // the option's value, or the positional argument itself
    bool hasValue = false;
};

// What the read gives the decision: the items, and what the later options depend on.
// As in ffmpeg, the last occurrence of an option counts.
struct Line {
    std::vector<Item> items;
    std::size_t output = std::string::npos; // index of the output file; items.size() when none
    std::string legacyCodec;
    const CodecRule* codec = nullptr;
    const ContainerRule* container = nullptr;
    bool hasMuxer = false, hasVideoCodec = false, dv = false;
    int inputs = 0; // a second input is where a re-tag takes the tags and cover from
    int channels = -1, sampleRate = -1;
    std::vector<std::string> fixedFormat;
};

// Options that take no value; every other option is taken to take one.
bool isFlag(std::string_view option) {
    return isOneOf(option,
                   {"-y",           "-n",         "-vn",      "-an",       "-sn",       "-dn",
                    "-hide_banner", "-stats",     "-nostats", "-shortest", "-copyts",   "-re",
                    "-version",     "-buildconf", "-formats", "-codecs",   "-encoders", "-decoders",
                    "-muxers",      "-demuxers",  "-h",       "-help",     "-benchmark"});
}

bool isAudioCodecOption(std::string_view option) {
    return isOneOf(option, {"-acodec", "-c:a", "-codec:a"});
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

int parseInteger(const std::string& text) {
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return -1;
    return std::atoi(text.c_str());
}

Line read(const std::vector<std::string>& legacy, std::string& outputPath) {
    Line line;
    for (std::size_t i = 0; i < legacy.size(); ++i) {
        Item item;
        if (legacy[i].size() > 1 && legacy[i][0] == '-') {
            item.option = legacy[i];
            item.hasValue = !isFlag(item.option) && i + 1 < legacy.size();
            if (item.hasValue)
                item.value = legacy[++i];
        } else {
            item = {"", legacy[i], true};
            outputPath = legacy[i];
            line.output = line.items.size();
        }
        if (isAudioCodecOption(item.option))
            line.legacyCodec = item.value;
        line.inputs += item.option == "-i";
        line.hasMuxer = line.hasMuxer || item.option == "-f";
        line.hasVideoCodec =
            line.hasVideoCodec || isOneOf(item.option, {"-vcodec", "-c:v", "-codec:v"});
        line.dv = line.dv || (item.option == "-target" && item.value.size() > 3 &&
                              item.value.compare(item.value.size() - 3, 3, "-dv") == 0);
        line.items.push_back(std::move(item));
    }
    line.output = std::min(line.output, line.items.size());
    line.codec = codecRule(line.legacyCodec);
    line.container = containerRule(extensionOf(outputPath));
    line.dv = line.dv || (line.container && line.container->dv);
    return line;
}

// The encoder this ffmpeg has for a legacy codec name in the line's container.
std::string modernCodec(const std::string& legacy, const Line& line) {
    const CodecRule* rule = codecRule(legacy);
    const std::string name = rule && rule->ffmpeg ? rule->ffmpeg : legacy;
    const ContainerRule* container = line.container;
    if (container && container->sampleFormat[0] && name == container->sampleFormat[0])
        return container->sampleFormat[1];
    return name;
}

// The accepted sample rate nearest to `rate` (the lower one on a tie).
int acceptedRate(const CodecRule* rule, int rate) {
    if (rule && rule->highestRate > 0)
        return std::min(rate, rule->highestRate);
    if (!rule || rule->rates.empty())
        return rate;
    int best = rule->rates.front();
    for (int candidate : rule->rates)
        if (std::abs(candidate - rate) < std::abs(best - rate))
            best = candidate;
    return best;
}

// libvorbis works best with a quality; this follows its nominal bit rates for stereo
// at 44.1 kHz (quality 4 is about 128 kbit/s), interpolated and kept within -1..10.
std::string vorbisQuality(double kilobits) {
    static constexpr double kTable[][2] = {{45, -1}, {64, 0},  {80, 1},  {96, 2},
                                           {112, 3}, {128, 4}, {160, 5}, {192, 6},
                                           {224, 7}, {256, 8}, {320, 9}, {500, 10}};
    double quality = kilobits >= 500 ? 10 : -1;
    for (std::size_t i = 1; i < std::size(kTable) && kilobits < 500; ++i) {
        if (kilobits < kTable[i][0]) {
            const double low = kTable[i - 1][0], high = kTable[i][0];
            const double share = std::max(0.0, (kilobits - low) / (high - low));
            quality = kTable[i - 1][1] + share * (kTable[i][1] - kTable[i - 1][1]);
            break;
        }
    }
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", quality);
    return text;
}

// Layer II's rates are smaller below 32 kHz; a rate above the set is lowered to the
// highest allowed one, any other rate to the next one below.
std::string mp2BitRate(double kilobits, int sampleRate) {
    static constexpr int kFull[] = {32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384};
    static constexpr int kLow[] = {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
    const std::span<const int> allowed(sampleRate > 0 && sampleRate < 32000 ? kLow : kFull);
    int chosen = allowed.front();
    for (int rate : allowed)
        if (rate <= kilobits)
            chosen = rate;
    return std::to_string(chosen) + "K";
}

// The audio bit rate option as the codec takes it (once the channels and the sample rate
// are settled).
void mendBitRate(Item& item, const Line& line, std::vector<std::string>& notes) {
    item.option = "-b:a";
    const double kilobits = readKilobits(item.value.c_str());
    const BitRateRule rule =
        line.codec && kilobits >= 0 ? line.codec->bitRate : BitRateRule::AsGiven;
    if (rule == BitRateRule::VorbisQuality) {
        item.option = "-q:a";
        item.value = vorbisQuality(kilobits);
    } else if (rule == BitRateRule::Mp2Set) {
        const std::string allowed = mp2BitRate(kilobits, line.sampleRate);
        if (readKilobits(allowed.c_str()) != kilobits)
            notes.push_back("mp2 cannot write " + item.value + ": wrote " + allowed);
        item.value = allowed;
    } else if (rule == BitRateRule::Ac3Surround && line.channels > 2 && kilobits < 48) {
        notes.push_back("ac3 cannot carry " + std::to_string(line.channels) + " channels in " +
                        item.value + ": wrote 48K");
        item.value = "48K";
    }
}

// Mends every value the codec cannot take, naming each change; the refusal or "".
std::string decide(Line& line, std::vector<std::string>& notes) {
    const CodecRule* rule = line.codec;
    if (rule && rule->refusal)
        return rule->refusal;
    if (line.container && line.container->refusal)
        return line.container->refusal;
    const std::string codec = modernCodec(line.legacyCodec, line);
    if (rule && rule->note)
        notes.push_back(rule->note);
    const int limit = rule ? rule->channelLimit : 0;
    for (Item& item : line.items) {
        if (item.option == "-ac") {
            line.channels = item.value == "5.1" ? 6 : parseInteger(item.value);
            if (limit > 0 && line.channels > limit) {
                notes.push_back(codec + " cannot write " + std::to_string(line.channels) +
                                " channels: wrote " + std::to_string(limit));
                line.channels = limit;
            }
            if (line.channels > 0)
                item.value = std::to_string(line.channels);
        } else if (item.option == "-ar" && (line.sampleRate = parseInteger(item.value)) > 0) {
            const int accepted = acceptedRate(rule, line.sampleRate);
            if (accepted != line.sampleRate)
                notes.push_back(codec + " cannot write " + std::to_string(line.sampleRate) +
                                " Hz: wrote " + std::to_string(accepted) + " Hz");
            line.sampleRate = accepted;
            item.value = std::to_string(accepted);
        }
    }
    if (rule && rule->channelLimit == 1 && rule->rates.size() == 1) {
        if (line.sampleRate < 0)
            line.fixedFormat.insert(line.fixedFormat.end(),
                                    {"-ar", std::to_string(rule->rates[0])});
        if (line.channels < 0)
            line.fixedFormat.insert(line.fixedFormat.end(), {"-ac", "1"});
    }
    for (Item& item : line.items) {
        if (isAudioCodecOption(item.option)) {
            item.option = "-c:a";
            item.value = modernCodec(item.value, line);
        } else if (item.option == "-vcodec") {
            item.option = "-c:v";
        } else if (item.option == "-b") {
            item.option = "-b:v";
        } else if (item.option == "-ab" || item.option == "-b:a") {
            mendBitRate(item, line, notes);
        }
    }
    return {};
}

std::vector<std::string> write(const Line& line) {
    std::vector<std::string> arguments{"-hide_banner"};
    const ContainerRule* container = line.container;
    for (std::size_t i = 0; i < line.items.size(); ++i) {
        const Item& item = line.items[i];
        if (i == line.output) {
            // Padded sound, cut at the end of the video, always fills the DV muxer's share.
            if (line.dv)
                arguments.insert(arguments.end(), {"-af", "apad", "-shortest"});
            arguments.insert(arguments.end(), line.fixedFormat.begin(), line.fixedFormat.end());
            if (container && container->id3)
                arguments.insert(arguments.end(), {"-write_id3v2", "1"});
            // A muxer choice belongs right before the output file it applies to.
            if (container && container->muxer && !line.hasMuxer)
                arguments.insert(arguments.end(), {"-f", container->muxer});
        }
        if (item.option == "-vn" && line.inputs == 2) {
            // A re-tag: the sound of the first input (copied), the tags and the cover of
            // the second; none of the first input's own tags is kept, its stream's either.
            arguments.insert(arguments.end(), {"-map", "0:a:0"});
            if (container && container->cover)
                arguments.insert(arguments.end(), {"-map", "1:v?", "-map", "-1:V?", "-c:v", "copy"});
            else
                arguments.push_back("-vn");
            arguments.insert(arguments.end(), {"-map_metadata", "1", "-map_metadata:s:a", "1:s:a"});
            continue;
        }
        if (item.option == "-vn" && !line.hasVideoCodec && container && container->cover) {
            // "-vn" keeps moving video out; a cover is a picture, not video. Mapping the
            // first audio stream and every video stream but moving ones (V) keeps exactly
            // the attached pictures, copied with their cover marking.
            arguments.insert(arguments.end(),
                             {"-map", "0:a:0", "-map", "0:v?", "-map", "-0:V?", "-c:v", "copy"});
            continue;
        }
        if (!item.option.empty())
            arguments.push_back(item.option);
        if (item.hasValue)
            arguments.push_back(item.value);
    }
    return arguments;
}

} // namespace

std::string translateArguments(const std::vector<std::string>& legacy, FfmpegCommand& command) {
    command = {};
    Line line = read(legacy, command.outputPath);
    const std::string refusal = decide(line, command.adjustments);
    if (refusal.empty())
        command.arguments = write(line);
    return refusal;
}
