// The ffmpeg arguments cv.dat builds for every line the catalogue can give it: each
// profile with each extension, video codec and audio codec, and every bit rate, sample
// rate and channel choice of that codec. The recorded table is the reference; a change of
// the translation that alters any line shows as a difference from it.
#include "argument_translation.h"
#include "catalogue.h"
#include "command_line_split.h"
#include "encoder_command_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>

namespace {

std::string joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words)
        text += (text.empty() ? "" : " ") + word;
    return text;
}

// One row: the legacy arguments after "-i in.wav", then what follows "-hide_banner -i
// in.wav" in ffmpeg's, or the refusal, and each adjustment named.
void record(const std::string& legacyTail, std::set<std::string>& seen, std::string& table) {
    if (!seen.insert(legacyTail).second)
        return;
    std::vector<std::string> legacy;
    ASSERT_EQ(splitCommandLine(("cv.dat -i in.wav " + legacyTail).c_str(), &legacy), 0);
    legacy.erase(legacy.begin());
    FfmpegCommand command;
    const std::string refusal = translateArguments(legacy, command);
    std::vector<std::string>& arguments = command.arguments;
    if (refusal.empty() && arguments.size() >= 3)
        arguments.erase(arguments.begin(), arguments.begin() + 3);
    table += legacyTail + (refusal.empty() ? " => " + joined(arguments) : " ! " + refusal);
    for (const std::string& adjustment : command.adjustments)
        table += " ~ " + adjustment;
    if (!command.coverSource.empty())
        table += " & cover of " + command.coverSource + " as a comment";
    table += "\n";
}

std::string audioArgs(const AudioCodecSettings& codec) {
    char audio[kArgsSize];
    EXPECT_EQ(buildAudioArgs(codec, audio), kBuildDone);
    return audio;
}

// Every bit rate of one audio codec with every sample rate and with every channel choice
// (the two rules that tie a bit rate to another choice), after `head`.
void recordAudioChoices(const std::string& head, const AudioCodecSettings& selected,
                        const std::string& output, std::set<std::string>& seen,
                        std::string& table) {
    AudioCodecSettings codec = selected;
    for (codec.bitRateIndex = 0; codec.bitRateIndex < choiceListCount(codec.bitRates);
         ++codec.bitRateIndex) {
        codec.channelsIndex = selected.channelsIndex;
        for (codec.sampleRateIndex = 0; codec.sampleRateIndex < choiceListCount(codec.sampleRates);
             ++codec.sampleRateIndex)
            record(head + audioArgs(codec) + output, seen, table);
        codec.sampleRateIndex = selected.sampleRateIndex;
        for (codec.channelsIndex = 0; codec.channelsIndex < choiceListCount(codec.channels);
             ++codec.channelsIndex)
            record(head + audioArgs(codec) + output, seen, table);
    }
}

// Each profile as the engine composes its line: every extension with every video codec
// and every audio codec at their selected choices. Then, at the selected extension, every
// audio codec with its choices after the selected video codec's name alone (the other
// video options are passed on untouched; leaving them out lets profiles share lines).
std::string translationTable() {
    std::set<std::string> seen;
    std::string table;
    for (const ProfileCategory& category : g_categories) {
        for (int p = 0; p < category.profileCount; ++p) {
            const ConversionProfile& profile = *category.profiles[p];
            for (int e = 0; e < choiceListCount(profile.extensions); ++e) {
                const std::string output =
                    std::string("out") + choiceListEntry(profile.extensions, e);
                for (int v = 0; v < std::max(1, profile.videoCodecCount); ++v) {
                    std::string head = "-vn -y ";
                    if (hasVideo(profile)) {
                        char video[kArgsSize];
                        EXPECT_EQ(buildVideoArgs(profile.videoCodecs[v], video), kBuildDone);
                        head = std::string("-y ") + video;
                    }
                    for (int a = 0; a < profile.audioCodecCount; ++a)
                        record(head + audioArgs(profile.audioCodecs[a]) + output, seen, table);
                }
            }
            const std::string head =
                hasVideo(profile)
                    ? std::string("-y -vcodec ") + selectedVideoCodec(profile).codecName + " "
                    : "-vn -y ";
            for (int a = 0; a < profile.audioCodecCount; ++a)
                recordAudioChoices(head, profile.audioCodecs[a],
                                   std::string("out") + selectedExtension(profile), seen, table);
        }
    }
    return table;
}

TEST(TranslationTable, EveryCatalogueLineTranslatesAsRecorded) {
    const std::string actual = translationTable();
    std::ifstream file(TRANSLATION_TABLE_PATH, std::ios::binary);
    std::ostringstream recorded;
    recorded << file.rdbuf();
    if (actual == recorded.str())
        return;
    std::ofstream("translation_table.actual.txt", std::ios::binary) << actual;
    std::istringstream expectedLines(recorded.str()), actualLines(actual);
    std::string expectedLine, actualLine;
    for (int number = 1;; ++number) {
        const bool moreExpected = static_cast<bool>(std::getline(expectedLines, expectedLine));
        const bool moreActual = static_cast<bool>(std::getline(actualLines, actualLine));
        if (!moreExpected && !moreActual)
            break;
        ASSERT_EQ(moreExpected ? expectedLine : "(end)", moreActual ? actualLine : "(end)")
            << "line " << number << " of " << TRANSLATION_TABLE_PATH
            << "; the whole table is in translation_table.actual.txt";
    }
}

} // namespace
