// Profile records built field by field for the engine tests.
#include "test_profiles.h"

ConversionProfile audioProfile(const char* codecName, ChoiceList bitRates, int bitRateIndex,
                               ChoiceList sampleRates, int sampleRateIndex, ChoiceList channels,
                               int channelsIndex, ChoiceList extensions) {
    ConversionProfile profile{};
    profile.name = "Test Audio";
    profile.extensions = extensions;
    profile.audioCodecCount = 1;
    AudioCodecSettings& audio = profile.audioCodecs[0];
    audio.displayName = codecName;
    audio.codecName = codecName;
    audio.bitRates = bitRates;
    audio.sampleRates = sampleRates;
    audio.channels = channels;
    audio.bitRateIndex = bitRateIndex;
    audio.sampleRateIndex = sampleRateIndex;
    audio.channelsIndex = channelsIndex;
    return profile;
}

ConversionProfile mp3Profile() {
    return audioProfile("libmp3lame", "64K\0 96K\0 128K\0 Auto\0", 2, "44100\0 48000\0 Auto\0", 1,
                        "Mono\0 Stereo\0 Auto\0", 1, ".mp3\0");
}

ConversionProfile videoProfile(const char* videoCodecName, ChoiceList frameSizes,
                               ChoiceList videoBitRates, ChoiceList frameRates,
                               ChoiceList aspectRatios) {
    ConversionProfile profile =
        audioProfile("mp2", "128K\0", 0, "Auto\0", 0, "Auto\0", 0, ".mpg\0");
    profile.videoCodecCount = 1;
    VideoCodecSettings& video = profile.videoCodecs[0];
    video.displayName = videoCodecName;
    video.codecName = videoCodecName;
    video.frameSizes = frameSizes;
    video.bitRates = videoBitRates;
    video.frameRates = frameRates;
    video.aspectRatios = aspectRatios;
    return profile;
}
