// The Profile combo's one-line description of the current profile.
#include "summary_line.h"

#include "catalogue.h"

#include <cstdio>

namespace {
const char* orEmpty(const char* text) { return text != nullptr ? text : ""; }
} // namespace

int profileSummaryLine(char* buffer) {
    buffer[0] = '\0';
    const ConversionProfile* p = currentProfile;
    if (p == nullptr) {
        return 0;
    }
    const VideoCodecSettings& v = p->videoCodecs[p->videoCodecIndex];
    const AudioCodecSettings& a = p->audioCodecs[p->audioCodecIndex];
    const char* sizeText = choiceListEntry(v.frameSizes, v.frameSizeIndex);
    const char* extText = orEmpty(choiceListEntry(p->extensions, p->extensionIndex));
    if (sizeText != nullptr) {
        // Video profiles name the video codec and frame size, and only the audio codec.
        std::snprintf(buffer, kSummaryLineSize, "%s  [%s(%s)] [%s] %s", p->name, v.displayName,
                      sizeText, a.displayName, extText);
    } else {
        // An audio-only profile's empty video slot has no frame size list.
        std::snprintf(buffer, kSummaryLineSize, "%s  [%s(%s %s %s)] %s", p->name, a.displayName,
                      orEmpty(choiceListEntry(a.bitRates, a.bitRateIndex)),
                      orEmpty(choiceListEntry(a.sampleRates, a.sampleRateIndex)),
                      orEmpty(choiceListEntry(a.channels, a.channelsIndex)), extText);
    }
    return 0;
}
