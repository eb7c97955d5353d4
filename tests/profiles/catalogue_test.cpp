// The profile catalogue: its contents, the choice-list lookup, command ids and the summary line.
#include "catalogue.h"
#include "summary_line.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

struct ExpectedCategory {
    const char* name;
    std::vector<std::string> profiles;
};

const std::vector<ExpectedCategory> kExpected = {
    {"iPod", {"iPod - H.264 Video", "iPod - H.264 Video for TV", "iPod - MPEG4 Video", "iPod - MPEG4 Video for TV", "iPod nano5 - MPEG4 Video", "iPod nano5 - H.264 Video", "iPod touch4 - H.264 Video", "iPod touch - H.264 Video", "iPod touch - H.264 Video AVC for TV", "iPod touch - MPEG4 Video", "iPod touch - MPEG4 Video for TV"}},
    {"iPhone", {"iPhone - H.264 Video", "iPhone - H.264 Video for TV", "iPhone - MPEG4 Video", "iPhone4 - H.264 Video"}},
    {"iPad & Apple TV", {"iPad - H.264 Video", "iPad - H.264 HD Video", "iPad - MPEG4 Video", "iPad2 - H.264 HD Video", "Apple TV - H.264 HD Video", "Apple TV - H.264 Video", "Apple TV - MPEG4 Video"}},
    {"Android", {"Android - MPEG4 Video", "Android(320x240) - H.264 Video", "Android(480x320) - H.264 Video", "Android(800x480) - H.264 Video", "Android(854x480) - H.264 Video", "HTC G2 Magic - MPEG4 Video", "HTC Hero - MPEG4 Video", "HTC Tattoo - MPEG4 Video", "Motorola CLIQ - MPEG4 Video", "Motorola Droid - MPEG4 Video", "Nexus One - MPEG4 Video", "SamSung i7500 - MPEG4 Video"}},
    {"Android Pad", {"Samsung P1000 - H.264 Video", "Samsung P1000 - MPEG4 Video", "Motorola Xoom - H.264 Video", "Motorola Xoom - MPEG4 Video"}},
    {"BlackBerry", {"BlackBerry - 3GP Video", "BlackBerry - AVI Video", "BlackBerry - MPEG4 Video", "BlackBerry 8800/8700/8500/8300 - MPEG-4 Video", "BlackBerry Bold 9000 - H.264 Video", "BlackBerry Bold 9700 - H.264 Video", "BlackBerry Charm 7100 - MPEG-4 Video", "BlackBerry Curve 8900 - H.264 Video", "BlackBerry Flip 8220/8230 - MPEG-4 Video", "BlackBerry Pearl 8100/8110/8120/8130 - MPEG-4 Video", "BlackBerry Playbook - H.264 Video", "BlackBerry Playbook - MPEG-4 Video", "BlackBerry Playbook - WMV Video", "BlackBerry Storm/Storm2/Torch/Tour - H.264 Video", "BlackBerry Tour 9630 - H.264 Video"}},
    {"Windows Phone", {"Windows Phone 7 - H.264 Video", "Windows Phone 7 - MPEG4 Video", "Windows Phone 7 - WMV Video"}},
    {"Mobile Phone", {"3GP - Mobile Phone 3GP Video - Mono", "3GP2 - Mobile Phone 3GP Video - Stereo", "WMA - Windows Media Audio", "WMV - Video for Mobile Phone"}},
    {"PS3 & PSP", {"PSP - H.264 Video", "PSP - H.264 Video for TV", "PSP - H.264 Video for firmware 2.00 and above", "PSP - MPEG4 Video", "PS3 - MPEG2 Video", "PS3 - MPEG2-TS HD Video", "PS3 - MPEG2-PS HD Video", "PS3 - Xvid Video", "PS3 - Xvid HD Video", "PS3 - H.264 Video", "PS3 - H.264 HD Video", "PS3 - WMV Video", "PS3 - WMV HD Video"}},
    {"Xbox360", {"Xbox360 - H.264 HD Video", "Xbox360 - H.264 Video", "Xbox360 - Xvid HD Video", "Xbox360 - Xvid Video", "Xbox360 - MPEG4 HD Video", "Xbox360 - MPEG4 Video", "Xbox360 - WMV HD Video", "Xbox360 - WMV Video"}},
    {"PMP", {"iRiver - Xvid Video", "iRiver - H.264 Video", "iRiver - MPEG4 Video", "iRiver - WMV Video", "Creative ZEN - H.264 Video", "Creative ZEN - MPEG4 Video", "Creative ZEN - WMV Video", "Creative ZEN - Xvid Video", "Zune - MPEG4 Video", "Zune - WMV Video", "Zune- H.264 Video", "Archos- MPEG4 Video", "Archos- WMV Video", "Archos- H.264 Video"}},
    {"General Video", {"MKV - Matroska Video", "ASF - Advanced Streaming Format", "AVI - Audio-Video Interleaved", "DV - Digital Video format", "DVD - DVD Video format", "MOV - QuickTime Video", "MP4 - MPEG-4 Video", "MPEG-1 - Video", "MPEG-2 - Video", "H.264/MPEG4 - AVC Video", "RM - Real Video", "VCD - Video", "WMV - Windows Media Video", "Xvid - Video"}},
    {"Web Video", {"YOUTUBE - H.264 Video", "YOUTUBE - H.264 HD Video", "Dailymotion - H.264 HD Video", "Dailymotion - H.264 Video", "Facebook - H.264 HD Video", "Facebook - H.264 Video", "Flickr - H.264 HD Video", "Flickr - H.264 Video", "Vimeo - H.264 HD Video", "Vimeo - H.264 Video", "OGG Theora Video - HTML5 OGG theora Video Profile", "VP8 Video - HTML5 VP8 Video Profile", "H.264 Video - HTML5 H.264 Video Profile"}},
    {"HD Video", {"HD - AVI Video", "HD - ASF Video", "HD - H.264 Video", "HD - MKV Video", "HD - MOV Video", "HD - MPEG2-PS Video", "HD - MPEG2 TS Video", "HD - MPEG4 Video", "HD - RM Video", "HD - WMV Video", "HD - Xvid Video"}},
    {"General Audio", {"MP3 - MPEG Layer-3 Audio", "AAC - Advanced Audio Coding", "AC3 - Dolby Digital AC-3",
                       "AIFF - Audio Interchange File Format", "AU - SUN AU Format", "M4A - MPEG-4 Audio",
                       "MP2 - MPEG Layer-2 Audio", "OGG - Ogg Vorbis Audio", "RA - Real Audio",
                       "WAV - Waveform Audio", "WMA - Windows Media Audio"}},
    {"Lossless Audio", {"Waveform Lossless Audio", "ALAC - Apple Loseless Audio", "FLAC - Free Lossless Audio Codec"}},
    {"Modern Audio", {"Opus - Opus Audio", "MP3 VBR - MPEG Layer-3 Audio, Variable Bit Rate",
                      "M4A VBR - MPEG-4 AAC Audio at a Quality"}},
};

std::string entry(ChoiceList list, int index) {
    const char* text = choiceListEntry(list, index);
    return text != nullptr ? text : "<none>";
}

std::vector<ConversionProfile*> allProfiles() {
    std::vector<ConversionProfile*> all;
    for (ProfileCategory& c : g_categories) {
        for (int i = 0; i < c.profileCount; ++i) {
            all.push_back(c.profiles[i]);
        }
    }
    return all;
}

ConversionProfile& generalAudio(const char* name) {
    ConversionProfile* p = findProfile(kGeneralAudioCategory, name);
    EXPECT_NE(p, nullptr) << name;
    return *p;
}

std::string summaryOf(ConversionProfile& p) {
    ConversionProfile* saved = currentProfile;
    currentProfile = &p;
    char line[kSummaryLineSize];
    profileSummaryLine(line);
    currentProfile = saved;
    return line;
}

TEST(ChoiceListTest, StepsThroughPackedEntries) {
    const char channels[] = "Stereo\0 Auto\0 Mono\0";
    EXPECT_EQ(entry(channels, 0), "Stereo");
    EXPECT_EQ(entry(channels, 1), "Auto");
    EXPECT_EQ(entry(channels, 2), "Mono");
    EXPECT_EQ(entry(channels, 3), "<none>");
    EXPECT_EQ(entry(channels, -1), "<none>");
    EXPECT_EQ(choiceListCount(channels), 3);

    const char single[] = "Auto\0";
    EXPECT_EQ(entry(single, 0), "Auto");
    EXPECT_EQ(entry(single, 1), "<none>");

    // A NUL not followed by a space ends the list even when more text lies behind it.
    const char stops[] = "a\0 b\0c\0";
    EXPECT_EQ(entry(stops, 1), "b");
    EXPECT_EQ(entry(stops, 2), "<none>");

    // The result points into the list itself.
    EXPECT_EQ(choiceListEntry(channels, 1), channels + 8);
}

TEST(ChoiceListTest, AbsentOrEmptyListHasNoEntries) {
    for (int index : {-1, 0, 1, 5}) {
        EXPECT_EQ(choiceListEntry(nullptr, index), nullptr);
        EXPECT_EQ(choiceListEntry("\0", index), nullptr);
    }
    EXPECT_EQ(choiceListCount(nullptr), 0);
}

TEST(CatalogueTest, CategoriesAndProfilesInOrder) {
    ASSERT_EQ(kExpected.size(), static_cast<size_t>(kCategoryCount));
    size_t total = 0;
    for (int c = 0; c < kCategoryCount; ++c) {
        const ProfileCategory& cat = g_categories[c];
        EXPECT_STREQ(cat.name, kExpected[c].name);
        EXPECT_EQ(cat.index, c);
        ASSERT_EQ(cat.profileCount, static_cast<int>(kExpected[c].profiles.size())) << cat.name;
        for (int i = 0; i < cat.profileCount; ++i) {
            EXPECT_EQ(cat.profiles[i]->name, kExpected[c].profiles[i]);
        }
        total += cat.profileCount;
        if (c == kLosslessAudioCategory) {
            EXPECT_EQ(total, 147u); // the product's sixteen categories
        }
    }
    EXPECT_EQ(total, 150u);
}

TEST(CatalogueTest, EveryProfileKeepsTheInvariants) {
    for (const ConversionProfile* p : allProfiles()) {
        SCOPED_TRACE(p->name);
        const ProfileCategory& cat = *p->category;
        ASSERT_GE(p->indexInCategory, 0);
        EXPECT_EQ(cat.profiles[p->indexInCategory], p);

        EXPECT_NE(selectedExtension(*p), nullptr);
        ASSERT_GE(p->audioCodecCount, 1);
        ASSERT_LE(p->audioCodecCount, kMaxAudioCodecs);
        EXPECT_LT(p->audioCodecIndex, p->audioCodecCount);
        for (int i = 0; i < p->audioCodecCount; ++i) {
            const AudioCodecSettings& a = p->audioCodecs[i];
            EXPECT_TRUE(a.displayName && *a.displayName && a.codecName && *a.codecName);
            EXPECT_NE(choiceListEntry(a.bitRates, a.bitRateIndex), nullptr);
            EXPECT_NE(choiceListEntry(a.sampleRates, a.sampleRateIndex), nullptr);
            EXPECT_NE(choiceListEntry(a.channels, a.channelsIndex), nullptr);
        }
        for (int i = p->audioCodecCount; i < kMaxAudioCodecs; ++i) {
            EXPECT_EQ(p->audioCodecs[i].codecName, nullptr);
        }

        ASSERT_GE(p->videoCodecCount, 0);
        ASSERT_LE(p->videoCodecCount, kMaxVideoCodecs);
        if (p->videoCodecCount > 0) {
            EXPECT_LT(p->videoCodecIndex, p->videoCodecCount);
        } else {
            EXPECT_EQ(p->videoCodecIndex, 0);
        }
        for (int i = 0; i < p->videoCodecCount; ++i) {
            const VideoCodecSettings& v = p->videoCodecs[i];
            EXPECT_TRUE(v.displayName && *v.displayName && v.codecName && *v.codecName);
            EXPECT_NE(choiceListEntry(v.frameSizes, v.frameSizeIndex), nullptr);
            EXPECT_NE(choiceListEntry(v.bitRates, v.bitRateIndex), nullptr);
            EXPECT_NE(choiceListEntry(v.frameRates, v.frameRateIndex), nullptr);
            EXPECT_NE(choiceListEntry(v.aspectRatios, v.aspectRatioIndex), nullptr);
        }
        for (int i = p->videoCodecCount; i < kMaxVideoCodecs; ++i) {
            const VideoCodecSettings& v = p->videoCodecs[i];
            EXPECT_TRUE(!v.displayName && !v.codecName && !v.frameSizes && !v.bitRates &&
                        !v.frameRates && !v.aspectRatios);
            EXPECT_EQ(v.frameSizeIndex + v.bitRateIndex + v.frameRateIndex + v.aspectRatioIndex, 0);
        }
    }
}

// Video profiles carry the codec their name promises, and only texts of the known vocabulary.
TEST(CatalogueTest, VideoProfilesMatchTheirNames) {
    const std::set<std::string> videoPairs = {
        "H.264/MPEG-4 AVC|libx264", "MPEG-4|mpeg4", "MPEG-2 video|mpeg2video",
        "MPEG-1 video|mpeg1video", "Xvid|libxvid", "H.263|h263", "RealVideo 2.0|rv20",
        "Microsoft MPEG-4|msmpeg4", "Motion JPEG|mjpeg", "Windows Media Video 7|wmv1",
        "Windows Media Video 8|wmv2", "libvpx VP8|libvpx",
        "NTSC DV-Video|dvvideo -target ntsc-dv", "PAL DV-Video|dvvideo -target pal-dv",
        "NTSC DVD-Video|dvvideo -target ntsc-dvd", "PAL DVD-Video|dvvideo -target pal-dvd",
        "NTSC VCD-Video|dvvideo -target ntsc-vcd", "PAL VCD-Video|dvvideo -target pal-vcd"};
    const std::set<std::string> extensions = {
        ".mp3", ".aac", ".ac3", ".aiff", ".au", ".m4a", ".mp2", ".ogg", ".ra", ".ram", ".wav",
        ".wma", ".flac", ".mp4", ".m4v", ".mov", ".3gp", ".3gpp", ".3gp2", ".avi", ".wmv",
        ".asf", ".mkv", ".dv", ".vob", ".qt", ".mpg", ".mpeg", ".ts", ".rmvb", ".webm", ".oggv",
        ".opus"};
    const std::vector<std::pair<std::string, std::string>> nameToCodec = {
        {"H.264", "libx264"}, {" MPEG4 ", "mpeg4"}, {"MPEG-4 Video", "mpeg4"}, {"Xvid", "libxvid"},
        {"WMV", "wmv2"},      {"WMV", "wmv1"},     {"MPEG2", "mpeg2video"},   {"MPEG-1", "mpeg1video"},
        {"RM ", "rv20"},      {"VP8", "libvpx"},   {"DVD", "dvvideo -target pal-dvd"},
        {"VCD", "dvvideo -target ntsc-vcd"},       {"DV -", "dvvideo -target pal-dv"}};

    for (const ConversionProfile* p : allProfiles()) {
        SCOPED_TRACE(p->name);
        for (int i = 0; i < choiceListCount(p->extensions); ++i) {
            EXPECT_TRUE(extensions.count(choiceListEntry(p->extensions, i)));
        }
        const std::string name = p->name;
        for (const auto& [word, codec] : nameToCodec) {
            if (name.find(word) == std::string::npos) {
                continue;
            }
            bool found = false;
            for (int i = 0; i < p->videoCodecCount; ++i) {
                found = found || codec == p->videoCodecs[i].codecName;
            }
            EXPECT_TRUE(found) << "expected video codec " << codec;
        }
        for (int i = 0; i < p->videoCodecCount; ++i) {
            const VideoCodecSettings& v = p->videoCodecs[i];
            EXPECT_TRUE(videoPairs.count(std::string(v.displayName) + "|" + v.codecName));
        }
        const bool audioCategory = p->category->index >= kGeneralAudioCategory;
        if (audioCategory || name == "WMA - Windows Media Audio") {
            EXPECT_EQ(p->videoCodecCount, 0);
        } else {
            EXPECT_GT(p->videoCodecCount, 0);
        }
    }
    // Frame sizes follow the device or the resolution in the name.
    EXPECT_EQ(entry(findProfile(3, "Android(800x480) - H.264 Video")->videoCodecs[0].frameSizes, 0), "800x480");
    EXPECT_EQ(entry(findProfile(8, "PSP - H.264 Video")->videoCodecs[0].frameSizes, 0), "480x272");
    for (int i = 0; i < g_categories[13].profileCount; ++i) {
        const VideoCodecSettings& v = g_categories[13].profiles[i]->videoCodecs[0];
        EXPECT_EQ(entry(v.frameSizes, 0), "1280x720");
        EXPECT_EQ(entry(v.frameSizes, 1), "1920x1080");
    }
}

TEST(CatalogueTest, CommandIdsMapBackToTheirProfiles) {
    EXPECT_EQ(profileForCommand(0), nullptr);
    EXPECT_EQ(profileForCommand(9999), nullptr);
    EXPECT_EQ(profileForCommand(-5), nullptr);
    EXPECT_STREQ(profileForCommand(11400)->name, "MP3 - MPEG Layer-3 Audio");
    EXPECT_EQ(profileForCommand(11410), findProfile(kGeneralAudioCategory, "WMA - Windows Media Audio"));
    EXPECT_EQ(profileForCommand(11411), profileForCommand(11400)); // past the end of its category
    EXPECT_STREQ(profileForCommand(11502)->name, "FLAC - Free Lossless Audio Codec");
    EXPECT_STREQ(profileForCommand(11600)->name, "iPod - H.264 Video"); // no category 16
    EXPECT_EQ(profileCommandId(*g_categories[0].profiles[0]), 10000);
    for (ConversionProfile* p : allProfiles()) {
        // Today's formats have no menu command: the window never offers them.
        if (p->category->index < kCommandCategoryCount) {
            EXPECT_EQ(profileForCommand(profileCommandId(*p)), p) << p->name;
        }
    }
}

TEST(CatalogueTest, AudioProfilesStartWithTheirDefaults) {
    const ConversionProfile& mp3 = generalAudio("MP3 - MPEG Layer-3 Audio");
    const AudioCodecSettings& a = selectedAudioCodec(mp3);
    EXPECT_STREQ(a.codecName, "libmp3lame");
    EXPECT_EQ(entry(a.bitRates, a.bitRateIndex), "128K");
    EXPECT_EQ(entry(a.sampleRates, a.sampleRateIndex), "48000");
    EXPECT_EQ(entry(a.channels, a.channelsIndex), "Stereo");
    EXPECT_STREQ(selectedExtension(mp3), ".mp3");

    const AudioCodecSettings& aac = selectedAudioCodec(generalAudio("AAC - Advanced Audio Coding"));
    EXPECT_EQ(entry(aac.bitRates, aac.bitRateIndex), "112K");
    EXPECT_EQ(entry(aac.sampleRates, aac.sampleRateIndex), "44100");
    EXPECT_EQ(entry(aac.channels, aac.channelsIndex), "Stereo");

    const ConversionProfile& wma = generalAudio("WMA - Windows Media Audio");
    EXPECT_STREQ(selectedAudioCodec(wma).displayName, "Windows Media Audio V8");
    EXPECT_STREQ(selectedAudioCodec(wma).codecName, "wmav2");

    const ConversionProfile& wav = generalAudio("WAV - Waveform Audio");
    ASSERT_EQ(wav.audioCodecCount, 6);
    EXPECT_STREQ(wav.audioCodecs[5].codecName, "adpcm_ima_wav");
    EXPECT_EQ(choiceListCount(wav.audioCodecs[0].channels), 3);
    EXPECT_EQ(choiceListCount(generalAudio("AU - SUN AU Format").audioCodecs[3].channels), 4);
    EXPECT_EQ(entry(generalAudio("RA - Real Audio").extensions, 1), ".ram");
}

TEST(CatalogueTest, TellingVideoRowsAreExact) {
    ConversionProfile& bb = *g_categories[5].profiles[0];
    ASSERT_EQ(bb.videoCodecCount, 4);
    EXPECT_STREQ(bb.videoCodecs[1].codecName, "h263");
    EXPECT_EQ(entry(bb.videoCodecs[1].frameSizes, bb.videoCodecs[1].frameSizeIndex), "352x288");
    EXPECT_EQ(entry(bb.videoCodecs[0].bitRates, bb.videoCodecs[0].bitRateIndex), "448K");
    EXPECT_EQ(entry(bb.videoCodecs[3].frameRates, bb.videoCodecs[3].frameRateIndex), "15");
    EXPECT_EQ(entry(bb.audioCodecs[1].bitRates, 0), "6.7k");
    EXPECT_EQ(entry(bb.audioCodecs[0].bitRates, bb.audioCodecs[0].bitRateIndex), "96K");

    ConversionProfile& dv = *g_categories[11].profiles[3];
    ASSERT_EQ(dv.videoCodecCount, 2);
    EXPECT_STREQ(dv.videoCodecs[1].codecName, "dvvideo -target pal-dv");
    EXPECT_EQ(entry(dv.videoCodecs[1].frameRates, 0), "25");
    EXPECT_EQ(entry(dv.audioCodecs[0].sampleRates, 0), "48000");
    EXPECT_EQ(entry(dv.audioCodecs[0].channels, 3), "5.1");
}

TEST(SummaryLineTest, AudioAndVideoForms) {
    EXPECT_EQ(summaryOf(generalAudio("MP3 - MPEG Layer-3 Audio")),
              "MP3 - MPEG Layer-3 Audio  [mp3(128K 48000 Stereo)] .mp3");
    EXPECT_EQ(summaryOf(generalAudio("WMA - Windows Media Audio")),
              "WMA - Windows Media Audio  [Windows Media Audio V8(128K 44100 Stereo)] .wma");
    EXPECT_EQ(summaryOf(generalAudio("WAV - Waveform Audio")),
              "WAV - Waveform Audio  [pcm_s16le(Auto 44100 Stereo)] .wav");
    EXPECT_EQ(summaryOf(*g_categories[0].profiles[0]),
              "iPod - H.264 Video  [H.264/MPEG-4 AVC(320x240)] [MPEG-4 AAC] .mp4");
    // Today's formats at their start selections.
    const ProfileCategory& modern = g_categories[kModernAudioCategory];
    EXPECT_EQ(summaryOf(*modern.profiles[0]),
              "Opus - Opus Audio  [Opus(128K 48000 Stereo)] .opus");
    EXPECT_EQ(summaryOf(*modern.profiles[1]), "MP3 VBR - MPEG Layer-3 Audio, Variable Bit Rate  "
                                              "[LAME VBR(V2 44100 Stereo)] .mp3");
    EXPECT_EQ(summaryOf(*modern.profiles[2]),
              "M4A VBR - MPEG-4 AAC Audio at a Quality  [MPEG-4 AAC VBR(Q1 44100 Stereo)] .m4a");
}

TEST(SummaryLineTest, FollowsEditedSelections) {
    ConversionProfile& ra = generalAudio("RA - Real Audio");
    ra.extensionIndex = 1;
    selectedAudioCodec(ra).bitRateIndex = 0;
    EXPECT_EQ(summaryOf(ra), "RA - Real Audio  [rmaudio(32K 44100 Stereo)] .ram");
    ra.extensionIndex = 0;
    selectedAudioCodec(ra).bitRateIndex = 3;
}

} // namespace
