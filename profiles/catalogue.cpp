// The built-in profile catalogue: the product's 16 categories with 147 profiles, and
// "Modern Audio" after them.
//
// Everything here is constant-initialised: the lists are string literals read where
// they lie and the records are laid out by the compiler, so nothing is parsed or
// allocated at start-up. Only the selection indices are ever written (by the Edit
// Profile dialog), which is why the records themselves are not const.
#include "catalogue.h"

#include <cstddef>
#include <cstring>

namespace {

// ---- Choice lists ---------------------------------------------------------------
// Each literal ends with an explicit "\0": with the literal's own terminator that
// gives the NUL, NUL ending of a packed list.

constexpr const char kAuto[] = "Auto\0";
constexpr const char kChannels[] = "Stereo\0 Auto\0 Mono\0";
constexpr const char kChannelsSurround[] = "Stereo\0 Auto\0 Mono\0 5.1\0";

constexpr const char kRates6[] = "8000\0 16000\0 22050\0 32000\0 44100\0 48000\0";
constexpr const char kRatesMp2[] = "16000\0 22050\0 32000\0 44100\0 48000\0";
constexpr const char kRatesAc3[] = "8000\0 16000\0 22050\0 32000\0 44100\0 48000\0 54000\0 96000\0";
constexpr const char kRatesPcm[] = "8000\0 16000\0 22050\0 32000\0 44100\0 48000\0 72000\0 96000\0";
constexpr const char kRatesWavLossless[] =
    "8000\0 16000\0 22050\0 32000\0 44100\0 48000\0 54000\0 72000\0 96000\0";

constexpr const char kBitRatesMp3[] =
    "32K\0 48K\0 64K\0 96K\0 112K\0 128K\0 160K\0 192K\0 224K\0 256K\0 320K\0";
constexpr const char kBitRatesAac[] =
    "32K\0 48K\0 64K\0 96K\0 112K\0 128K\0 160K\0 192K\0 224K\0 256K\0 320K\0 384K\0 448K\0 512K\0";
constexpr const char kBitRatesAc3[] = "32K\0 48K\0 64K\0 96K\0 112K\0 128K\0 160K\0 192K\0 224K\0 "
                                      "256K\0 320K\0 384K\0 448K\0 512K\0 640K\0";
constexpr const char kBitRatesFine[] = "32K\0 40K\0 48K\0 56K\0 64K\0 80K\0 96K\0 112K\0 128K\0 "
                                       "160K\0 192K\0 224K\0 256K\0 320K\0";
constexpr const char kBitRatesOgg[] =
    "32K\0 48K\0 64K\0 80K\0 96K\0 112K\0 128K\0 160K\0 192K\0 224K\0 256K\0 320K\0";
constexpr const char kBitRatesIpodAudio[] = "Auto\0 64K\0 80K\0 96K\0 112K\0 128K\0 160K\0";
constexpr const char kBitRatesMobileAudio[] =
    "32K\0 48K\0 64K\0 96K\0 128K\0 160K\0 192K\0 224K\0 256K\0";

constexpr const char kVideoRatesIpod[] = "256K\0 320K\0 384K\0 512K\0 640K\0 768K\0 1000K\0 1200K\0";
constexpr const char kVideoRatesMobile[] =
    "128K\0 192K\0 256K\0 320K\0 384K\0 448K\0 512K\0 640K\0 768K\0 1000K\0 1200K\0";
constexpr const char kVideoRatesSd[] =
    "256K\0 384K\0 512K\0 768K\0 1000K\0 1200K\0 1500K\0 2000K\0 2500K\0 3000K\0";
constexpr const char kVideoRatesHd[] =
    "1500K\0 2000K\0 3000K\0 4000K\0 5000K\0 6000K\0 8000K\0 10000K\0";

constexpr const char kFrameRates[] = "Auto\0 15\0 20\0 23.97\0 24\0 25\0 29.97\0 30\0";
constexpr const char kFrameRatesMobile[] =
    "Auto\0 8\0 10\0 12\0 15\0 20\0 23.97\0 24\0 25\0 29.97\0 30\0";
constexpr const char kAspects[] = "Auto\0 4:3\0 16:9\0";

// Frame sizes, by device or resolution.
constexpr const char kSizeQvga[] = "320x240\0";
constexpr const char kSizeTv[] = "640x480\0 720x480\0 720x576\0";
constexpr const char kSizeNano[] = "376x240\0 320x240\0";
constexpr const char kSizeHvga[] = "480x320\0 320x240\0";
constexpr const char kSizeRetina[] = "960x640\0 640x480\0 480x320\0";
constexpr const char kSizeIpad[] = "1024x768\0 640x480\0 480x320\0";
constexpr const char kSizeHd[] = "1280x720\0 1920x1080\0";
constexpr const char kSizeHdTablet[] = "1280x720\0 1920x1080\0 1024x768\0";
constexpr const char kSizeAppleTv[] = "960x540\0 720x480\0 640x480\0";
constexpr const char kSizeAndroid[] = "480x320\0 320x240\0 800x480\0 854x480\0";
constexpr const char kSize480x320[] = "480x320\0";
constexpr const char kSize800x480[] = "800x480\0 480x320\0";
constexpr const char kSize854x480[] = "854x480\0 800x480\0 480x320\0";
constexpr const char kSizeGalaxyTab[] = "1024x600\0 800x480\0";
constexpr const char kSizeXoom[] = "1280x800\0 1280x720\0 1024x600\0";
constexpr const char kSizeBlackBerry3gp[] = "176x144\0 220x176\0 320x240\0 480x320\0";
constexpr const char kSizeH263[] = "128x96\0 176x144\0 352x288\0 704x576\0 1408x1152\0";
constexpr const char kSize480x360[] = "480x360\0 480x320\0 320x240\0";
constexpr const char kSize240x260[] = "240x260\0";
constexpr const char kSize240x320[] = "240x320\0";
constexpr const char kSizePlaybook[] = "1024x600\0 1280x720\0";
constexpr const char kSizeMobile[] = "176x144\0 320x240\0";
constexpr const char kSizeMobileWmv[] = "320x240\0 176x144\0";
constexpr const char kSizePsp[] = "480x272\0 320x240\0";
constexpr const char kSizeSd[] = "720x480\0 720x576\0 640x480\0";
constexpr const char kSizeZune[] = "320x240\0 480x272\0";
constexpr const char kSizeArchos[] = "800x480\0 720x480\0";
constexpr const char kSizeGeneral[] =
    "Auto\0 320x240\0 640x480\0 720x480\0 720x576\0 1280x720\0 1920x1080\0";
constexpr const char kSizeWeb[] = "640x480\0 640x360\0 480x360\0 320x240\0";
constexpr const char kSizeHtml5[] = "640x360\0 854x480\0 1280x720\0";
constexpr const char kSizeHdVideo[] = "1280x720\0 1920x1080\0 1440x1080\0";

// Extensions.
constexpr const char kExtIpod[] = ".mp4\0 .m4v\0 .mov\0";
constexpr const char kExtMp4[] = ".mp4\0";
constexpr const char kExt3gp[] = ".3gp\0 .3gpp\0";
constexpr const char kExt3gp2[] = ".3gp2\0";
constexpr const char kExtAvi[] = ".avi\0";
constexpr const char kExtWmv[] = ".wmv\0";
constexpr const char kExtAsf[] = ".asf\0";
constexpr const char kExtMkv[] = ".mkv\0";
constexpr const char kExtMov[] = ".mov\0 .qt\0";
constexpr const char kExtMpg[] = ".mpg\0 .mpeg\0";
constexpr const char kExtDvd[] = ".vob\0 .mpg\0";
constexpr const char kExtTs[] = ".ts\0";
constexpr const char kExtRm[] = ".rmvb\0";
constexpr const char kExtWebm[] = ".webm\0";
constexpr const char kExtOgv[] = ".oggv\0";

// ---- Record builders ------------------------------------------------------------

constexpr AudioCodecSettings audio(const char* displayName, const char* codecName,
                                   ChoiceList bitRates, ChoiceList sampleRates,
                                   ChoiceList channels, int bitRateIndex, int sampleRateIndex,
                                   int channelsIndex = 0) {
    return {displayName, codecName,    bitRates,        sampleRates,
            channels,    bitRateIndex, sampleRateIndex, channelsIndex};
}

struct VideoCodecKind {
    const char* displayName;
    const char* codecName;
};

constexpr VideoCodecKind kH264{"H.264/MPEG-4 AVC", "libx264"};
constexpr VideoCodecKind kMpeg4{"MPEG-4", "mpeg4"};
constexpr VideoCodecKind kMpeg2{"MPEG-2 video", "mpeg2video"};
constexpr VideoCodecKind kMpeg1{"MPEG-1 video", "mpeg1video"};
constexpr VideoCodecKind kXvid{"Xvid", "libxvid"};
constexpr VideoCodecKind kH263{"H.263", "h263"};
constexpr VideoCodecKind kRealVideo{"RealVideo 2.0", "rv20"};
constexpr VideoCodecKind kMsMpeg4{"Microsoft MPEG-4", "msmpeg4"};
constexpr VideoCodecKind kMjpeg{"Motion JPEG", "mjpeg"};
constexpr VideoCodecKind kWmv7{"Windows Media Video 7", "wmv1"};
constexpr VideoCodecKind kWmv8{"Windows Media Video 8", "wmv2"};
constexpr VideoCodecKind kVp8{"libvpx VP8", "libvpx"};

// A video codec choice with the common frame-rate and aspect lists ("Auto" selected).
constexpr VideoCodecSettings video(VideoCodecKind kind, ChoiceList frameSizes, ChoiceList bitRates,
                                   int bitRateIndex, int frameSizeIndex = 0) {
    return {kind.displayName, kind.codecName, frameSizes,     bitRates,     kFrameRates,
            kAspects,         frameSizeIndex, bitRateIndex,   0,            0};
}

constexpr VideoCodecSettings mobileVideo(VideoCodecKind kind, ChoiceList frameSizes,
                                         int frameSizeIndex) {
    // 448K at 15 frames per second suits the small screens.
    return {kind.displayName, kind.codecName, frameSizes,     kVideoRatesMobile, kFrameRatesMobile,
            kAspects,         frameSizeIndex, 5,              4,                 0};
}

constexpr VideoCodecSettings discVideo(const char* displayName, const char* codecName,
                                       ChoiceList frameSizes, ChoiceList frameRates) {
    return {displayName, codecName, frameSizes, kAuto, frameRates, kAspects, 0, 0, 0, 0};
}

// Audio choices shared by the device and video profiles.
constexpr AudioCodecSettings kAacAudio = audio("MPEG-4 AAC", "libvo_aacenc", kBitRatesMp3, kRates6, kChannels, 5, 4);
constexpr AudioCodecSettings kIpodAudio = audio("MPEG-4 AAC", "libvo_aacenc", kBitRatesIpodAudio, kRates6, kChannels, 5, 4);
constexpr AudioCodecSettings kMp3Audio = audio("mp3", "libmp3lame", kBitRatesMp3, kRates6, kChannels, 5, 4);
constexpr AudioCodecSettings kWma8Audio = audio("Windows Media Audio V8", "wmav2", kBitRatesFine, kRates6, kChannels, 8, 4);
constexpr AudioCodecSettings kWma7Audio = audio("Windows Media Audio V7", "wmav1", kBitRatesFine, kRates6, kChannels, 8, 4);
constexpr AudioCodecSettings kAc3Audio = audio("ac3", "ac3", kBitRatesAc3, kRatesAc3, kChannelsSurround, 7, 4);
constexpr AudioCodecSettings kMp2Audio = audio("mp2", "mp2", kBitRatesMp3, kRatesMp2, kChannels, 7, 3);
constexpr AudioCodecSettings kVorbisAudio = audio("libvorbis Vorbis", "libvorbis", kBitRatesOgg, kRates6, kChannels, 6, 4);
constexpr AudioCodecSettings kRealAudio = audio("rmaudio", "cook", kBitRatesMp3, kRates6, kChannels, 3, 4);
constexpr AudioCodecSettings kPcmAudio48k = audio("pcm_s16le", "pcm_s16le", kAuto, "48000\0", kChannelsSurround, 0, 0);
constexpr AudioCodecSettings kAmrAudio = audio("libamr_nb", "libopencore_amrnb", "6.7k\0", "8000\0", "Mono\0", 0, 0);
// The disc standards fix the audio: DVD-Video takes AC-3 and MPEG audio at 48000 Hz only;
// a VCD's MPEG layer II audio is 224K at 44100 Hz.
constexpr AudioCodecSettings kDvdAc3Audio = audio("ac3", "ac3", kBitRatesAc3, kRatesAc3, kChannelsSurround, 7, 5);
constexpr AudioCodecSettings kDvdMp2Audio = audio("mp2", "mp2", kBitRatesMp3, kRatesMp2, kChannels, 8, 4);
constexpr AudioCodecSettings kVcdMp2Audio = audio("mp2", "mp2", kBitRatesMp3, kRatesMp2, kChannels, 8, 3);
constexpr AudioCodecSettings kMobileAacAudio = audio("MPEG-4 AAC", "libvo_aacenc", kBitRatesMobileAudio, kRates6, kChannels, 3, 4);
constexpr AudioCodecSettings kMobileAacMonoAudio = audio("MPEG-4 AAC", "libvo_aacenc", kBitRatesMobileAudio, kRates6, kChannels, 2, 2, 2);

template <std::size_t N> constexpr int countOf(const AudioCodecSettings (&)[N]) {
    return static_cast<int>(N);
}

template <std::size_t NA>
constexpr ConversionProfile audioProfile(int category, int position, const char* name,
                                         ChoiceList extensions,
                                         const AudioCodecSettings (&audioCodecs)[NA],
                                         int audioCodecIndex = 0) {
    static_assert(NA >= 1 && NA <= kMaxAudioCodecs);
    ConversionProfile p{};
    p.category = &g_categories[category];
    p.name = name;
    p.extensions = extensions;
    for (std::size_t i = 0; i < NA; ++i) {
        p.audioCodecs[i] = audioCodecs[i];
    }
    p.audioCodecCount = static_cast<int32_t>(NA);
    p.audioCodecIndex = audioCodecIndex;
    p.indexInCategory = position;
    return p;
}

template <std::size_t NV, std::size_t NA>
constexpr ConversionProfile videoProfile(int category, int position, const char* name,
                                         ChoiceList extensions,
                                         const VideoCodecSettings (&videoCodecs)[NV],
                                         const AudioCodecSettings (&audioCodecs)[NA]) {
    static_assert(NV >= 1 && NV <= kMaxVideoCodecs);
    ConversionProfile p = audioProfile(category, position, name, extensions, audioCodecs);
    for (std::size_t i = 0; i < NV; ++i) {
        p.videoCodecs[i] = videoCodecs[i];
    }
    p.videoCodecCount = static_cast<int32_t>(NV);
    return p;
}

template <std::size_t N>
constexpr ProfileCategory category(const char* name, ConversionProfile (&profiles)[N], int index) {
    static_assert(N >= 1 && N <= kMaxProfilesPerCategory);
    ProfileCategory c{};
    c.name = name;
    for (std::size_t i = 0; i < N; ++i) {
        c.profiles[i] = &profiles[i];
    }
    c.profileCount = static_cast<int32_t>(N);
    c.index = index;
    return c;
}

enum CategoryIndex {
    kIpod, kIphone, kIpad, kAndroid, kAndroidPad, kBlackBerry, kWindowsPhone, kMobilePhone,
    kPlayStation, kXbox, kPmp, kGeneralVideo, kWebVideo, kHdVideo, kGeneralAudio, kLosslessAudio,
    kModernAudio
};
static_assert(kGeneralAudio == kGeneralAudioCategory && kLosslessAudio == kLosslessAudioCategory &&
              kModernAudio == kModernAudioCategory);

// Shorthands for the most common device profiles: one video codec, one audio codec.
constexpr ConversionProfile mp4Device(int cat, int pos, const char* name, VideoCodecKind kind,
                                      ChoiceList sizes, ChoiceList rates, int rateIndex) {
    return videoProfile(cat, pos, name, kExtMp4, {video(kind, sizes, rates, rateIndex)}, {kAacAudio});
}
constexpr ConversionProfile wmvDevice(int cat, int pos, const char* name, ChoiceList sizes,
                                      ChoiceList rates, int rateIndex) {
    return videoProfile(cat, pos, name, kExtWmv,
                        {video(kWmv8, sizes, rates, rateIndex), video(kWmv7, sizes, rates, rateIndex)},
                        {kWma8Audio, kWma7Audio});
}
constexpr ConversionProfile aviDevice(int cat, int pos, const char* name, VideoCodecKind kind,
                                      ChoiceList sizes, ChoiceList rates, int rateIndex) {
    return videoProfile(cat, pos, name, kExtAvi, {video(kind, sizes, rates, rateIndex)},
                        {kMp3Audio, kAc3Audio});
}

// ---- Profiles, category by category ---------------------------------------------

// Video bit-rate positions used below.
constexpr int kIpod640K = 4;
constexpr int kIpod768K = 5;
constexpr int kSd512K = 2;
constexpr int kSd768K = 3;
constexpr int kSd1000K = 4;
constexpr int kSd1500K = 6;
constexpr int kSd2000K = 7;
constexpr int kHd4000K = 3;
constexpr int kHd6000K = 5;

ConversionProfile g_ipod[] = {
    videoProfile(kIpod, 0, "iPod - H.264 Video", kExtIpod,
                 {{"H.264/MPEG-4 AVC", "libx264", kSizeQvga, kVideoRatesIpod, kFrameRates, kAspects, 0, 4, 6, 0}},
                 {kIpodAudio}),
    videoProfile(kIpod, 1, "iPod - H.264 Video for TV", kExtIpod, {video(kH264, kSizeTv, kVideoRatesSd, kSd1500K)}, {kIpodAudio}),
    videoProfile(kIpod, 2, "iPod - MPEG4 Video", kExtIpod, {video(kMpeg4, kSizeQvga, kVideoRatesIpod, kIpod768K)}, {kIpodAudio}),
    videoProfile(kIpod, 3, "iPod - MPEG4 Video for TV", kExtIpod, {video(kMpeg4, kSizeTv, kVideoRatesSd, kSd2000K)}, {kIpodAudio}),
    videoProfile(kIpod, 4, "iPod nano5 - MPEG4 Video", kExtIpod, {video(kMpeg4, kSizeNano, kVideoRatesIpod, kIpod768K)}, {kIpodAudio}),
    videoProfile(kIpod, 5, "iPod nano5 - H.264 Video", kExtIpod, {video(kH264, kSizeNano, kVideoRatesIpod, kIpod640K)}, {kIpodAudio}),
    videoProfile(kIpod, 6, "iPod touch4 - H.264 Video", kExtIpod, {video(kH264, kSizeRetina, kVideoRatesSd, kSd1500K)}, {kIpodAudio}),
    videoProfile(kIpod, 7, "iPod touch - H.264 Video", kExtIpod, {video(kH264, kSizeHvga, kVideoRatesSd, kSd768K)}, {kIpodAudio}),
    videoProfile(kIpod, 8, "iPod touch - H.264 Video AVC for TV", kExtIpod, {video(kH264, kSizeTv, kVideoRatesSd, kSd1500K)}, {kIpodAudio}),
    videoProfile(kIpod, 9, "iPod touch - MPEG4 Video", kExtIpod, {video(kMpeg4, kSizeHvga, kVideoRatesSd, kSd1000K)}, {kIpodAudio}),
    videoProfile(kIpod, 10, "iPod touch - MPEG4 Video for TV", kExtIpod, {video(kMpeg4, kSizeTv, kVideoRatesSd, kSd2000K)}, {kIpodAudio}),
};

ConversionProfile g_iphone[] = {
    videoProfile(kIphone, 0, "iPhone - H.264 Video", kExtIpod, {video(kH264, kSizeHvga, kVideoRatesSd, kSd768K)}, {kIpodAudio}),
    videoProfile(kIphone, 1, "iPhone - H.264 Video for TV", kExtIpod, {video(kH264, kSizeTv, kVideoRatesSd, kSd1500K)}, {kIpodAudio}),
    videoProfile(kIphone, 2, "iPhone - MPEG4 Video", kExtIpod, {video(kMpeg4, kSizeHvga, kVideoRatesSd, kSd1000K)}, {kIpodAudio}),
    videoProfile(kIphone, 3, "iPhone4 - H.264 Video", kExtIpod, {video(kH264, kSizeRetina, kVideoRatesSd, kSd1500K)}, {kIpodAudio}),
};

ConversionProfile g_ipad[] = {
    videoProfile(kIpad, 0, "iPad - H.264 Video", kExtIpod, {video(kH264, kSizeIpad, kVideoRatesSd, kSd1500K)}, {kIpodAudio}),
    videoProfile(kIpad, 1, "iPad - H.264 HD Video", kExtIpod, {video(kH264, kSizeHdTablet, kVideoRatesHd, kHd4000K)}, {kIpodAudio}),
    videoProfile(kIpad, 2, "iPad - MPEG4 Video", kExtIpod, {video(kMpeg4, kSizeIpad, kVideoRatesSd, kSd2000K)}, {kIpodAudio}),
    videoProfile(kIpad, 3, "iPad2 - H.264 HD Video", kExtIpod, {video(kH264, kSizeHdTablet, kVideoRatesHd, kHd4000K)}, {kIpodAudio}),
    videoProfile(kIpad, 4, "Apple TV - H.264 HD Video", kExtIpod, {video(kH264, kSizeHd, kVideoRatesHd, kHd4000K)}, {kIpodAudio}),
    videoProfile(kIpad, 5, "Apple TV - H.264 Video", kExtIpod, {video(kH264, kSizeAppleTv, kVideoRatesSd, kSd1500K)}, {kIpodAudio}),
    videoProfile(kIpad, 6, "Apple TV - MPEG4 Video", kExtIpod, {video(kMpeg4, kSizeAppleTv, kVideoRatesSd, kSd2000K)}, {kIpodAudio}),
};

ConversionProfile g_android[] = {
    mp4Device(kAndroid, 0, "Android - MPEG4 Video", kMpeg4, kSizeAndroid, kVideoRatesSd, kSd1000K),
    mp4Device(kAndroid, 1, "Android(320x240) - H.264 Video", kH264, kSizeQvga, kVideoRatesSd, kSd512K),
    mp4Device(kAndroid, 2, "Android(480x320) - H.264 Video", kH264, kSize480x320, kVideoRatesSd, kSd768K),
    mp4Device(kAndroid, 3, "Android(800x480) - H.264 Video", kH264, "800x480\0", kVideoRatesSd, kSd1000K),
    mp4Device(kAndroid, 4, "Android(854x480) - H.264 Video", kH264, "854x480\0", kVideoRatesSd, kSd1000K),
    mp4Device(kAndroid, 5, "HTC G2 Magic - MPEG4 Video", kMpeg4, kSizeHvga, kVideoRatesSd, kSd768K),
    mp4Device(kAndroid, 6, "HTC Hero - MPEG4 Video", kMpeg4, kSizeHvga, kVideoRatesSd, kSd768K),
    mp4Device(kAndroid, 7, "HTC Tattoo - MPEG4 Video", kMpeg4, kSizeQvga, kVideoRatesSd, kSd768K),
    mp4Device(kAndroid, 8, "Motorola CLIQ - MPEG4 Video", kMpeg4, kSizeHvga, kVideoRatesSd, kSd768K),
    mp4Device(kAndroid, 9, "Motorola Droid - MPEG4 Video", kMpeg4, kSize854x480, kVideoRatesSd, kSd1000K),
    mp4Device(kAndroid, 10, "Nexus One - MPEG4 Video", kMpeg4, kSize800x480, kVideoRatesSd, kSd1000K),
    mp4Device(kAndroid, 11, "SamSung i7500 - MPEG4 Video", kMpeg4, kSizeHvga, kVideoRatesSd, kSd768K),
};

ConversionProfile g_androidPad[] = {
    mp4Device(kAndroidPad, 0, "Samsung P1000 - H.264 Video", kH264, kSizeGalaxyTab, kVideoRatesSd, kSd1500K),
    mp4Device(kAndroidPad, 1, "Samsung P1000 - MPEG4 Video", kMpeg4, kSizeGalaxyTab, kVideoRatesSd, kSd2000K),
    mp4Device(kAndroidPad, 2, "Motorola Xoom - H.264 Video", kH264, kSizeXoom, kVideoRatesHd, kHd4000K),
    mp4Device(kAndroidPad, 3, "Motorola Xoom - MPEG4 Video", kMpeg4, kSizeXoom, kVideoRatesHd, kHd4000K),
};

ConversionProfile g_blackBerry[] = {
    videoProfile(kBlackBerry, 0, "BlackBerry - 3GP Video", kExt3gp,
                 {mobileVideo(kH264, kSizeBlackBerry3gp, 2), mobileVideo(kH263, kSizeH263, 2),
                  mobileVideo(kMpeg4, kSizeBlackBerry3gp, 2), mobileVideo(kXvid, kSizeBlackBerry3gp, 2)},
                 {kMobileAacAudio, kAmrAudio}),
    aviDevice(kBlackBerry, 1, "BlackBerry - AVI Video", kXvid, kSize480x360, kVideoRatesSd, kSd768K),
    mp4Device(kBlackBerry, 2, "BlackBerry - MPEG4 Video", kMpeg4, kSize480x360, kVideoRatesSd, kSd768K),
    mp4Device(kBlackBerry, 3, "BlackBerry 8800/8700/8500/8300 - MPEG-4 Video", kMpeg4, kSizeQvga, kVideoRatesSd, kSd512K),
    mp4Device(kBlackBerry, 4, "BlackBerry Bold 9000 - H.264 Video", kH264, kSize480x320, kVideoRatesSd, kSd768K),
    mp4Device(kBlackBerry, 5, "BlackBerry Bold 9700 - H.264 Video", kH264, kSize480x360, kVideoRatesSd, kSd768K),
    mp4Device(kBlackBerry, 6, "BlackBerry Charm 7100 - MPEG-4 Video", kMpeg4, kSize240x260, kVideoRatesMobile, 5),
    mp4Device(kBlackBerry, 7, "BlackBerry Curve 8900 - H.264 Video", kH264, kSize480x360, kVideoRatesSd, kSd768K),
    mp4Device(kBlackBerry, 8, "BlackBerry Flip 8220/8230 - MPEG-4 Video", kMpeg4, kSize240x320, kVideoRatesMobile, 5),
    mp4Device(kBlackBerry, 9, "BlackBerry Pearl 8100/8110/8120/8130 - MPEG-4 Video", kMpeg4, kSize240x260, kVideoRatesMobile, 5),
    mp4Device(kBlackBerry, 10, "BlackBerry Playbook - H.264 Video", kH264, kSizePlaybook, kVideoRatesSd, kSd2000K),
    mp4Device(kBlackBerry, 11, "BlackBerry Playbook - MPEG-4 Video", kMpeg4, kSizePlaybook, kVideoRatesSd, kSd2000K),
    wmvDevice(kBlackBerry, 12, "BlackBerry Playbook - WMV Video", kSizePlaybook, kVideoRatesSd, kSd2000K),
    mp4Device(kBlackBerry, 13, "BlackBerry Storm/Storm2/Torch/Tour - H.264 Video", kH264, kSize480x360, kVideoRatesSd, kSd768K),
    mp4Device(kBlackBerry, 14, "BlackBerry Tour 9630 - H.264 Video", kH264, kSize480x360, kVideoRatesSd, kSd768K),
};

ConversionProfile g_windowsPhone[] = {
    mp4Device(kWindowsPhone, 0, "Windows Phone 7 - H.264 Video", kH264, kSize800x480, kVideoRatesSd, kSd1000K),
    mp4Device(kWindowsPhone, 1, "Windows Phone 7 - MPEG4 Video", kMpeg4, kSize800x480, kVideoRatesSd, kSd1500K),
    wmvDevice(kWindowsPhone, 2, "Windows Phone 7 - WMV Video", kSize800x480, kVideoRatesSd, kSd1500K),
};

ConversionProfile g_mobilePhone[] = {
    videoProfile(kMobilePhone, 0, "3GP - Mobile Phone 3GP Video - Mono", kExt3gp,
                 {mobileVideo(kH263, kSizeH263, 1), mobileVideo(kMpeg4, kSizeMobile, 0)},
                 {kAmrAudio, kMobileAacMonoAudio}),
    videoProfile(kMobilePhone, 1, "3GP2 - Mobile Phone 3GP Video - Stereo", kExt3gp2,
                 {mobileVideo(kMpeg4, kSizeMobile, 0), mobileVideo(kH264, kSizeMobile, 0)},
                 {kMobileAacAudio}),
    audioProfile(kMobilePhone, 2, "WMA - Windows Media Audio", ".wma\0", {kWma7Audio, kWma8Audio}, 1),
    wmvDevice(kMobilePhone, 3, "WMV - Video for Mobile Phone", kSizeMobileWmv, kVideoRatesMobile, 5),
};

ConversionProfile g_playStation[] = {
    mp4Device(kPlayStation, 0, "PSP - H.264 Video", kH264, kSizePsp, kVideoRatesSd, kSd768K),
    mp4Device(kPlayStation, 1, "PSP - H.264 Video for TV", kH264, kSizeSd, kVideoRatesSd, kSd1500K),
    mp4Device(kPlayStation, 2, "PSP - H.264 Video for firmware 2.00 and above", kH264, kSizePsp, kVideoRatesSd, kSd768K),
    mp4Device(kPlayStation, 3, "PSP - MPEG4 Video", kMpeg4, kSizePsp, kVideoRatesSd, kSd1000K),
    videoProfile(kPlayStation, 4, "PS3 - MPEG2 Video", kExtMpg, {video(kMpeg2, kSizeSd, kVideoRatesSd, 9)}, {kAc3Audio, kMp2Audio}),
    videoProfile(kPlayStation, 5, "PS3 - MPEG2-TS HD Video", kExtTs, {video(kMpeg2, kSizeHd, kVideoRatesHd, kHd6000K)}, {kAc3Audio, kMp2Audio}),
    videoProfile(kPlayStation, 6, "PS3 - MPEG2-PS HD Video", kExtMpg, {video(kMpeg2, kSizeHd, kVideoRatesHd, kHd6000K)}, {kAc3Audio, kMp2Audio}),
    aviDevice(kPlayStation, 7, "PS3 - Xvid Video", kXvid, kSizeSd, kVideoRatesSd, kSd1500K),
    aviDevice(kPlayStation, 8, "PS3 - Xvid HD Video", kXvid, kSizeHd, kVideoRatesHd, kHd4000K),
    mp4Device(kPlayStation, 9, "PS3 - H.264 Video", kH264, kSizeSd, kVideoRatesSd, kSd1500K),
    mp4Device(kPlayStation, 10, "PS3 - H.264 HD Video", kH264, kSizeHd, kVideoRatesHd, kHd4000K),
    wmvDevice(kPlayStation, 11, "PS3 - WMV Video", kSizeSd, kVideoRatesSd, kSd2000K),
    wmvDevice(kPlayStation, 12, "PS3 - WMV HD Video", kSizeHd, kVideoRatesHd, kHd6000K),
};

ConversionProfile g_xbox[] = {
    mp4Device(kXbox, 0, "Xbox360 - H.264 HD Video", kH264, kSizeHd, kVideoRatesHd, kHd4000K),
    mp4Device(kXbox, 1, "Xbox360 - H.264 Video", kH264, kSizeSd, kVideoRatesSd, kSd1500K),
    aviDevice(kXbox, 2, "Xbox360 - Xvid HD Video", kXvid, kSizeHd, kVideoRatesHd, kHd4000K),
    aviDevice(kXbox, 3, "Xbox360 - Xvid Video", kXvid, kSizeSd, kVideoRatesSd, kSd1500K),
    mp4Device(kXbox, 4, "Xbox360 - MPEG4 HD Video", kMpeg4, kSizeHd, kVideoRatesHd, kHd6000K),
    mp4Device(kXbox, 5, "Xbox360 - MPEG4 Video", kMpeg4, kSizeSd, kVideoRatesSd, kSd2000K),
    wmvDevice(kXbox, 6, "Xbox360 - WMV HD Video", kSizeHd, kVideoRatesHd, kHd6000K),
    wmvDevice(kXbox, 7, "Xbox360 - WMV Video", kSizeSd, kVideoRatesSd, kSd2000K),
};

ConversionProfile g_pmp[] = {
    aviDevice(kPmp, 0, "iRiver - Xvid Video", kXvid, kSizeQvga, kVideoRatesSd, kSd768K),
    mp4Device(kPmp, 1, "iRiver - H.264 Video", kH264, kSizeQvga, kVideoRatesSd, kSd512K),
    mp4Device(kPmp, 2, "iRiver - MPEG4 Video", kMpeg4, kSizeQvga, kVideoRatesSd, kSd768K),
    wmvDevice(kPmp, 3, "iRiver - WMV Video", kSizeQvga, kVideoRatesSd, kSd768K),
    mp4Device(kPmp, 4, "Creative ZEN - H.264 Video", kH264, kSizeQvga, kVideoRatesSd, kSd512K),
    mp4Device(kPmp, 5, "Creative ZEN - MPEG4 Video", kMpeg4, kSizeQvga, kVideoRatesSd, kSd768K),
    wmvDevice(kPmp, 6, "Creative ZEN - WMV Video", kSizeQvga, kVideoRatesSd, kSd768K),
    aviDevice(kPmp, 7, "Creative ZEN - Xvid Video", kXvid, kSizeQvga, kVideoRatesSd, kSd768K),
    mp4Device(kPmp, 8, "Zune - MPEG4 Video", kMpeg4, kSizeZune, kVideoRatesSd, kSd768K),
    wmvDevice(kPmp, 9, "Zune - WMV Video", kSizeZune, kVideoRatesSd, kSd768K),
    mp4Device(kPmp, 10, "Zune- H.264 Video", kH264, kSizeZune, kVideoRatesSd, kSd768K),
    mp4Device(kPmp, 11, "Archos- MPEG4 Video", kMpeg4, kSizeArchos, kVideoRatesSd, kSd1500K),
    wmvDevice(kPmp, 12, "Archos- WMV Video", kSizeArchos, kVideoRatesSd, kSd1500K),
    mp4Device(kPmp, 13, "Archos- H.264 Video", kH264, kSizeArchos, kVideoRatesSd, kSd1000K),
};

ConversionProfile g_generalVideo[] = {
    videoProfile(kGeneralVideo, 0, "MKV - Matroska Video", kExtMkv,
                 {video(kH264, kSizeGeneral, kVideoRatesSd, kSd2000K), video(kMpeg4, kSizeGeneral, kVideoRatesSd, kSd2000K),
                  video(kXvid, kSizeGeneral, kVideoRatesSd, kSd2000K)},
                 {kAacAudio, kMp3Audio, kAc3Audio, kVorbisAudio}),
    videoProfile(kGeneralVideo, 1, "ASF - Advanced Streaming Format", kExtAsf,
                 {video(kWmv8, kSizeGeneral, kVideoRatesSd, kSd2000K), video(kWmv7, kSizeGeneral, kVideoRatesSd, kSd2000K),
                  video(kMsMpeg4, kSizeGeneral, kVideoRatesSd, kSd2000K)},
                 {kWma8Audio, kWma7Audio}),
    videoProfile(kGeneralVideo, 2, "AVI - Audio-Video Interleaved", kExtAvi,
                 {video(kXvid, kSizeGeneral, kVideoRatesSd, kSd2000K), video(kMpeg4, kSizeGeneral, kVideoRatesSd, kSd2000K),
                  video(kMsMpeg4, kSizeGeneral, kVideoRatesSd, kSd2000K), video(kH264, kSizeGeneral, kVideoRatesSd, kSd2000K),
                  video(kMjpeg, kSizeGeneral, kVideoRatesSd, 9)},
                 {kMp3Audio, kAc3Audio, audio("pcm_s16le", "pcm_s16le", kAuto, kRatesPcm, kChannelsSurround, 0, 4)}),
    videoProfile(kGeneralVideo, 3, "DV - Digital Video format", ".dv\0",
                 {discVideo("NTSC DV-Video", "dvvideo -target ntsc-dv", "720x480\0 480x320\0", "29.97\0"),
                  discVideo("PAL DV-Video", "dvvideo -target pal-dv", "720x576\0 480x320\0", "25\0")},
                 {kPcmAudio48k}),
    videoProfile(kGeneralVideo, 4, "DVD - DVD Video format", kExtDvd,
                 {discVideo("NTSC DVD-Video", "dvvideo -target ntsc-dvd", "720x480\0", "29.97\0"),
                  discVideo("PAL DVD-Video", "dvvideo -target pal-dvd", "720x576\0", "25\0")},
                 {kDvdAc3Audio, kDvdMp2Audio}),
    videoProfile(kGeneralVideo, 5, "MOV - QuickTime Video", kExtMov,
                 {video(kH264, kSizeGeneral, kVideoRatesSd, kSd2000K), video(kMpeg4, kSizeGeneral, kVideoRatesSd, kSd2000K),
                  video(kMjpeg, kSizeGeneral, kVideoRatesSd, 9)},
                 {kAacAudio}),
    videoProfile(kGeneralVideo, 6, "MP4 - MPEG-4 Video", kExtMp4,
                 {video(kMpeg4, kSizeGeneral, kVideoRatesSd, kSd2000K), video(kH264, kSizeGeneral, kVideoRatesSd, kSd2000K)},
                 {kAacAudio}),
    videoProfile(kGeneralVideo, 7, "MPEG-1 - Video", kExtMpg, {video(kMpeg1, kSizeGeneral, kVideoRatesSd, kSd1500K)}, {kMp2Audio}),
    videoProfile(kGeneralVideo, 8, "MPEG-2 - Video", kExtMpg, {video(kMpeg2, kSizeGeneral, kVideoRatesSd, 9)}, {kMp2Audio, kAc3Audio}),
    videoProfile(kGeneralVideo, 9, "H.264/MPEG4 - AVC Video", kExtMp4, {video(kH264, kSizeGeneral, kVideoRatesSd, kSd2000K)}, {kAacAudio}),
    videoProfile(kGeneralVideo, 10, "RM - Real Video", kExtRm, {video(kRealVideo, kSizeGeneral, kVideoRatesSd, kSd1000K)}, {kRealAudio}),
    videoProfile(kGeneralVideo, 11, "VCD - Video", kExtMpg,
                 {discVideo("NTSC VCD-Video", "dvvideo -target ntsc-vcd", "352x240\0", "29.97\0"),
                  discVideo("PAL VCD-Video", "dvvideo -target pal-vcd", "352x288\0", "25\0")},
                 {kVcdMp2Audio}),
    videoProfile(kGeneralVideo, 12, "WMV - Windows Media Video", kExtWmv,
                 {video(kWmv8, kSizeGeneral, kVideoRatesSd, kSd2000K), video(kWmv7, kSizeGeneral, kVideoRatesSd, kSd2000K)},
                 {kWma8Audio, kWma7Audio}),
    aviDevice(kGeneralVideo, 13, "Xvid - Video", kXvid, kSizeGeneral, kVideoRatesSd, kSd2000K),
};

ConversionProfile g_webVideo[] = {
    mp4Device(kWebVideo, 0, "YOUTUBE - H.264 Video", kH264, kSizeWeb, kVideoRatesSd, kSd1000K),
    mp4Device(kWebVideo, 1, "YOUTUBE - H.264 HD Video", kH264, kSizeHd, kVideoRatesHd, kHd4000K),
    mp4Device(kWebVideo, 2, "Dailymotion - H.264 HD Video", kH264, kSizeHd, kVideoRatesHd, kHd4000K),
    mp4Device(kWebVideo, 3, "Dailymotion - H.264 Video", kH264, kSizeWeb, kVideoRatesSd, kSd1000K),
    mp4Device(kWebVideo, 4, "Facebook - H.264 HD Video", kH264, kSizeHd, kVideoRatesHd, kHd4000K),
    mp4Device(kWebVideo, 5, "Facebook - H.264 Video", kH264, kSizeWeb, kVideoRatesSd, kSd1000K),
    mp4Device(kWebVideo, 6, "Flickr - H.264 HD Video", kH264, kSizeHd, kVideoRatesHd, kHd4000K),
    mp4Device(kWebVideo, 7, "Flickr - H.264 Video", kH264, kSizeWeb, kVideoRatesSd, kSd1000K),
    mp4Device(kWebVideo, 8, "Vimeo - H.264 HD Video", kH264, kSizeHd, kVideoRatesHd, kHd4000K),
    mp4Device(kWebVideo, 9, "Vimeo - H.264 Video", kH264, kSizeWeb, kVideoRatesSd, kSd1000K),
    // The codec table offers no Theora encoder; VP8 with Vorbis is what an Ogg page plays.
    videoProfile(kWebVideo, 10, "OGG Theora Video - HTML5 OGG theora Video Profile", kExtOgv,
                 {video(kVp8, kSizeHtml5, kVideoRatesSd, kSd1500K)}, {kVorbisAudio}),
    videoProfile(kWebVideo, 11, "VP8 Video - HTML5 VP8 Video Profile", kExtWebm,
                 {video(kVp8, kSizeHtml5, kVideoRatesSd, kSd1500K)}, {kVorbisAudio}),
    mp4Device(kWebVideo, 12, "H.264 Video - HTML5 H.264 Video Profile", kH264, kSizeHtml5, kVideoRatesSd, kSd1500K),
};

ConversionProfile g_hdVideo[] = {
    aviDevice(kHdVideo, 0, "HD - AVI Video", kXvid, kSizeHdVideo, kVideoRatesHd, kHd6000K),
    videoProfile(kHdVideo, 1, "HD - ASF Video", kExtAsf,
                 {video(kWmv8, kSizeHdVideo, kVideoRatesHd, kHd6000K), video(kWmv7, kSizeHdVideo, kVideoRatesHd, kHd6000K)},
                 {kWma8Audio, kWma7Audio}),
    mp4Device(kHdVideo, 2, "HD - H.264 Video", kH264, kSizeHdVideo, kVideoRatesHd, kHd4000K),
    videoProfile(kHdVideo, 3, "HD - MKV Video", kExtMkv,
                 {video(kH264, kSizeHdVideo, kVideoRatesHd, kHd4000K), video(kMpeg4, kSizeHdVideo, kVideoRatesHd, kHd6000K)},
                 {kAacAudio, kAc3Audio, kVorbisAudio}),
    videoProfile(kHdVideo, 4, "HD - MOV Video", kExtMov, {video(kH264, kSizeHdVideo, kVideoRatesHd, kHd4000K)}, {kAacAudio}),
    videoProfile(kHdVideo, 5, "HD - MPEG2-PS Video", kExtMpg, {video(kMpeg2, kSizeHdVideo, kVideoRatesHd, 6)}, {kAc3Audio, kMp2Audio}),
    videoProfile(kHdVideo, 6, "HD - MPEG2 TS Video", kExtTs, {video(kMpeg2, kSizeHdVideo, kVideoRatesHd, 6)}, {kAc3Audio, kMp2Audio}),
    mp4Device(kHdVideo, 7, "HD - MPEG4 Video", kMpeg4, kSizeHdVideo, kVideoRatesHd, kHd6000K),
    videoProfile(kHdVideo, 8, "HD - RM Video", kExtRm, {video(kRealVideo, kSizeHdVideo, kVideoRatesHd, kHd4000K)}, {kRealAudio}),
    wmvDevice(kHdVideo, 9, "HD - WMV Video", kSizeHdVideo, kVideoRatesHd, kHd6000K),
    aviDevice(kHdVideo, 10, "HD - Xvid Video", kXvid, kSizeHdVideo, kVideoRatesHd, kHd6000K),
};

// The two audio categories, entry for entry as the product defines them.
constexpr AudioCodecSettings pcm(const char* codec, ChoiceList sampleRates, ChoiceList channels) {
    return audio(codec, codec, kAuto, sampleRates, channels, 0, 4);
}

ConversionProfile g_generalAudio[] = {
    audioProfile(kGeneralAudio, 0, "MP3 - MPEG Layer-3 Audio", ".mp3\0",
                 {audio("mp3", "libmp3lame", kBitRatesMp3, kRates6, kChannels, 5, 5)}),
    audioProfile(kGeneralAudio, 1, "AAC - Advanced Audio Coding", ".aac\0",
                 {audio("MPEG-4 AAC", "libvo_aacenc", kBitRatesAac, kRates6, kChannels, 4, 4)}),
    audioProfile(kGeneralAudio, 2, "AC3 - Dolby Digital AC-3", ".ac3\0",
                 {audio("ac3", "ac3", kBitRatesAc3, kRatesAc3, kChannelsSurround, 7, 4)}),
    audioProfile(kGeneralAudio, 3, "AIFF - Audio Interchange File Format", ".aiff\0",
                 {pcm("pcm_s16le", kRatesPcm, kChannelsSurround)}),
    audioProfile(kGeneralAudio, 4, "AU - SUN AU Format", ".au\0",
                 {pcm("pcm_s16le", kRatesPcm, kChannelsSurround), pcm("pcm_alaw", kRatesPcm, kChannelsSurround),
                  pcm("pcm_mulaw", kRatesPcm, kChannelsSurround), pcm("pcm_s8", kRatesPcm, kChannelsSurround)}),
    audioProfile(kGeneralAudio, 5, "M4A - MPEG-4 Audio", ".m4a\0",
                 {audio("MPEG-4 AAC", "libvo_aacenc", kBitRatesFine, kRates6, kChannels, 10, 4)}),
    audioProfile(kGeneralAudio, 6, "MP2 - MPEG Layer-2 Audio", ".mp2\0",
                 {audio("mp2", "mp2", kBitRatesMp3, kRatesMp2, kChannels, 5, 3)}),
    audioProfile(kGeneralAudio, 7, "OGG - Ogg Vorbis Audio", ".ogg\0",
                 {audio("vorbis", "vorbis", kBitRatesOgg, kRates6, kChannels, 6, 4)}),
    audioProfile(kGeneralAudio, 8, "RA - Real Audio", ".ra\0 .ram\0",
                 {audio("rmaudio", "cook", kBitRatesMp3, kRates6, kChannels, 3, 4)}),
    audioProfile(kGeneralAudio, 9, "WAV - Waveform Audio", ".wav\0",
                 {pcm("pcm_s16le", kRatesPcm, kChannels), pcm("pcm_s8", kRatesPcm, kChannels),
                  pcm("pcm_alaw", kRatesPcm, kChannels), pcm("pcm_mulaw", kRatesPcm, kChannels),
                  pcm("adpcm_ms", kRatesPcm, kChannels), pcm("adpcm_ima_wav", kRatesPcm, kChannels)}),
    audioProfile(kGeneralAudio, 10, "WMA - Windows Media Audio", ".wma\0",
                 {audio("Windows Media Audio V7", "wmav1", kBitRatesFine, kRates6, kChannels, 8, 4),
                  audio("Windows Media Audio V8", "wmav2", kBitRatesFine, kRates6, kChannels, 8, 4)},
                 1),
};

ConversionProfile g_losslessAudio[] = {
    audioProfile(kLosslessAudio, 0, "Waveform Lossless Audio", ".wav\0",
                 {pcm("pcm_s16le", kRatesWavLossless, kChannelsSurround)}),
    audioProfile(kLosslessAudio, 1, "ALAC - Apple Loseless Audio", ".m4a\0",
                 {audio("ALAC (Apple Lossless Audio Codec)", "alac", kAuto, kRates6, kChannels, 0, 4)}),
    audioProfile(kLosslessAudio, 2, "FLAC - Free Lossless Audio Codec", ".flac\0",
                 {audio("FLAC (Free Lossless Audio Codec)", "flac", kAuto, kRatesPcm, kChannels, 0, 4)}),
};

// What today's players and phones prefer: Opus, which libopus writes at a variable rate
// around the chosen one (Ogg Opus takes only these five sample rates); MP3 at LAME's
// quality levels (V0 best, V2 what most libraries are ripped with); AAC at this ffmpeg's
// quality scale, its rate following the music (Q1 is about 120K).
constexpr const char kBitRatesOpus[] = "64K\0 96K\0 128K\0 160K\0 192K\0 256K\0";
constexpr const char kRatesOpus[] = "8000\0 12000\0 16000\0 24000\0 48000\0";
constexpr const char kLameLevels[] = "V0\0 V2\0 V4\0";
constexpr const char kAacQualities[] = "Q0.5\0 Q0.8\0 Q1\0 Q1.5\0 Q2\0";

ConversionProfile g_modernAudio[] = {
    audioProfile(kModernAudio, 0, "Opus - Opus Audio", ".opus\0",
                 {audio("Opus", "libopus", kBitRatesOpus, kRatesOpus, kChannelsSurround, 2, 4)}),
    audioProfile(kModernAudio, 1, "MP3 VBR - MPEG Layer-3 Audio, Variable Bit Rate", ".mp3\0",
                 {audio("LAME VBR", "libmp3lame", kLameLevels, kRates6, kChannels, 1, 4)}),
    audioProfile(kModernAudio, 2, "M4A VBR - MPEG-4 AAC Audio at a Quality", ".m4a\0",
                 {audio("MPEG-4 AAC VBR", "aac", kAacQualities, kRates6, kChannels, 2, 4)}),
};

} // namespace

constinit ProfileCategory g_categories[kCategoryCount] = {
    category("iPod", g_ipod, kIpod),
    category("iPhone", g_iphone, kIphone),
    category("iPad & Apple TV", g_ipad, kIpad),
    category("Android", g_android, kAndroid),
    category("Android Pad", g_androidPad, kAndroidPad),
    category("BlackBerry", g_blackBerry, kBlackBerry),
    category("Windows Phone", g_windowsPhone, kWindowsPhone),
    category("Mobile Phone", g_mobilePhone, kMobilePhone),
    category("PS3 & PSP", g_playStation, kPlayStation),
    category("Xbox360", g_xbox, kXbox),
    category("PMP", g_pmp, kPmp),
    category("General Video", g_generalVideo, kGeneralVideo),
    category("Web Video", g_webVideo, kWebVideo),
    category("HD Video", g_hdVideo, kHdVideo),
    category("General Audio", g_generalAudio, kGeneralAudio),
    category("Lossless Audio", g_losslessAudio, kLosslessAudio),
    category("Modern Audio", g_modernAudio, kModernAudio),
};

constinit ConversionProfile* currentProfile = nullptr;

ConversionProfile* startProfile() {
    ConversionProfile* profile = findProfile(kGeneralAudioCategory, "MP3 - MPEG Layer-3 Audio");
    return profile != nullptr ? profile : g_categories[kGeneralAudioCategory].profiles[0];
}

int profileCommandId(const ConversionProfile& profile) {
    return kFirstProfileCommand + 100 * profile.category->index + profile.indexInCategory;
}

ConversionProfile* profileForCommand(int id) {
    // 0 is the dismissed menu; negative ids name nothing either.
    if (id < kFirstProfileCommand) {
        return nullptr;
    }
    const int k = id - kFirstProfileCommand;
    const int c = k / 100;
    const int i = k % 100;
    if (c >= kCommandCategoryCount) {
        return g_categories[0].profiles[0];
    }
    const ProfileCategory& cat = g_categories[c];
    return i < cat.profileCount ? cat.profiles[i] : cat.profiles[0];
}

ConversionProfile* findProfile(int categoryIndex, const char* name) {
    if (categoryIndex < 0 || categoryIndex >= kCategoryCount || name == nullptr) {
        return nullptr;
    }
    const ProfileCategory& cat = g_categories[categoryIndex];
    for (int i = 0; i < cat.profileCount; ++i) {
        if (std::strcmp(cat.profiles[i]->name, name) == 0) {
            return cat.profiles[i];
        }
    }
    return nullptr;
}
