// Small profile records for engine tests, independent of the catalogue's contents.
#pragma once

#include "profile.h"

// An audio-only profile with one codec and the given selections.
ConversionProfile audioProfile(const char* codecName, ChoiceList bitRates, int bitRateIndex,
                               ChoiceList sampleRates, int sampleRateIndex, ChoiceList channels,
                               int channelsIndex, ChoiceList extensions);

// The MP3 profile at its built-in selection: libmp3lame, 128K, 48000, Stereo, ".mp3".
ConversionProfile mp3Profile();

// A video profile: one video codec with the given entries (index 0 of each list) and an
// audio codec at "128K".
ConversionProfile videoProfile(const char* videoCodecName, ChoiceList frameSizes,
                               ChoiceList videoBitRates, ChoiceList frameRates,
                               ChoiceList aspectRatios);
