// The records of the profile catalogue: output targets with their codec choices.
// Texts and lists are constant; only the selection indices ever change.
#pragma once

#include "choice_list.h"

#include <cstdint>

struct ProfileCategory;

struct AudioCodecSettings {
    const char* displayName; // shown in the Edit Profile dialog and the summary line
    const char* codecName;   // the encoder's name of the codec
    ChoiceList bitRates;
    ChoiceList sampleRates;
    ChoiceList channels;
    int32_t bitRateIndex;
    int32_t sampleRateIndex;
    int32_t channelsIndex;
};

struct VideoCodecSettings {
    const char* displayName;
    const char* codecName; // may carry further encoder arguments: "dvvideo -target pal-dv"
    ChoiceList frameSizes;
    ChoiceList bitRates;
    ChoiceList frameRates;
    ChoiceList aspectRatios;
    int32_t frameSizeIndex;
    int32_t bitRateIndex;
    int32_t frameRateIndex;
    int32_t aspectRatioIndex;
};

inline constexpr int kMaxVideoCodecs = 5;
inline constexpr int kMaxAudioCodecs = 7;
inline constexpr int kMaxProfilesPerCategory = 20;

struct ConversionProfile {
    const ProfileCategory* category;
    const char* name;
    ChoiceList extensions;
    int32_t extensionIndex;
    VideoCodecSettings videoCodecs[kMaxVideoCodecs];
    int32_t videoCodecCount; // 0 marks an audio-only profile
    int32_t videoCodecIndex;
    AudioCodecSettings audioCodecs[kMaxAudioCodecs];
    int32_t audioCodecCount;
    int32_t audioCodecIndex;
    int32_t indexInCategory;
};

struct ProfileCategory {
    const char* name;
    ConversionProfile* profiles[kMaxProfilesPerCategory];
    int32_t profileCount;
    int32_t index; // position in the catalogue
};

// The selected audio codec of a profile; video likewise (only for videoCodecCount > 0).
inline AudioCodecSettings& selectedAudioCodec(ConversionProfile& p) {
    return p.audioCodecs[p.audioCodecIndex];
}
inline const AudioCodecSettings& selectedAudioCodec(const ConversionProfile& p) {
    return p.audioCodecs[p.audioCodecIndex];
}
inline const VideoCodecSettings& selectedVideoCodec(const ConversionProfile& p) {
    return p.videoCodecs[p.videoCodecIndex];
}
inline bool hasVideo(const ConversionProfile& p) { return p.videoCodecCount > 0; }
inline const char* selectedExtension(const ConversionProfile& p) {
    return choiceListEntry(p.extensions, p.extensionIndex);
}
