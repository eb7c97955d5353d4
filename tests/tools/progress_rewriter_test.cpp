// ffmpeg's progress clock turned into seconds, on a stream cut into arbitrary reads.
#include "progress_rewriter.h"

#include <gtest/gtest.h>

namespace {

// Feeds `input` in pieces of `piece` bytes and returns everything written.
std::string rewrite(const std::string& input, std::size_t piece, ProgressRewriter& rewriter) {
    std::string out;
    for (std::size_t at = 0; at < input.size(); at += piece)
        rewriter.feed(input.data() + at, std::min(piece, input.size() - at), out);
    rewriter.finish(out);
    return out;
}

std::string rewrite(const std::string& input, std::size_t piece = 4096) {
    ProgressRewriter rewriter;
    return rewrite(input, piece, rewriter);
}

const std::string kFfmpegOutput =
    "Stream mapping:\n  Stream #0:0 -> #0:0 (pcm_s16le (native) -> mp3 (libmp3lame))\n"
    "Press [q] to stop, [?] for help\n"
    "size=       0kB time=00:00:00.00 bitrate=N/A speed=N/A    \r"
    "size=     512kB time=00:00:29.95 bitrate= 140.0kbits/s speed=59.9x    \r"
    "size=    2816kB time=01:02:03.04 bitrate= 128.0kbits/s speed=60.1x    \n"
    "video:0kB audio:2816kB subtitle:0kB other streams:0kB global headers:0kB muxing "
    "overhead: 0.011%\n";
const std::string kRewritten =
    "Stream mapping:\n  Stream #0:0 -> #0:0 (pcm_s16le (native) -> mp3 (libmp3lame))\n"
    "Press [q] to stop, [?] for help\n"
    "size=       0kB time=0.00 bitrate=N/A speed=N/A    \r"
    "size=     512kB time=29.95 bitrate= 140.0kbits/s speed=59.9x    \r"
    "size=    2816kB time=3723.04 bitrate= 128.0kbits/s speed=60.1x    \n"
    "video:0kB audio:2816kB subtitle:0kB other streams:0kB global headers:0kB muxing "
    "overhead: 0.011%\n";

TEST(ProgressRewriter, RewritesEveryClockAndKeepsEveryOtherByteInOrder) {
    ProgressRewriter rewriter;
    EXPECT_EQ(rewrite(kFfmpegOutput, 4096, rewriter), kRewritten);
    EXPECT_TRUE(rewriter.hasTime());
    EXPECT_EQ(rewriter.lastTime(), "3723.04");
}

TEST(ProgressRewriter, GivesTheSameResultWhateverTheReadsAre) {
    // Every cut of a clock between reads, down to one byte at a time.
    for (std::size_t piece = 1; piece <= 80; ++piece)
        ASSERT_EQ(rewrite(kFfmpegOutput, piece), kRewritten) << "pieces of " << piece;
}

TEST(ProgressRewriter, PassesALineOnOnceItsEndHasComeAndCutsOnlyAnEndlessOne) {
    ProgressRewriter rewriter;
    std::string out;
    rewriter.feed("size= 1kB ti", 12, out);
    rewriter.feed("me=00:01:02.50 bitrate", 22, out);
    EXPECT_EQ(out, "");
    rewriter.feed("\rnext", 5, out);
    EXPECT_EQ(out, "size= 1kB time=62.50 bitrate\r");
    EXPECT_EQ(rewriter.lastTime(), "62.50");
    // A run without CR or LF is passed on in pieces, the same whatever the reads.
    const std::string endless(40000, 'x');
    EXPECT_EQ(rewrite(endless, 1), endless);
    EXPECT_EQ(rewrite(endless + "time=00:00:01.00\n", 7000), endless + "time=1.00\n");
}

TEST(ProgressRewriter, AClockAtTheVeryEndIsRewrittenWhenTheStreamEnds) {
    EXPECT_EQ(rewrite("time=00:00:02.01"), "time=2.01");
    EXPECT_EQ(rewrite("time=00:00:02"), "time=2");
    EXPECT_EQ(rewrite("time=00:00:02."), "time=2.");
}

TEST(ProgressRewriter, LeavesTextThatIsNoClockUntouched) {
    const char* texts[] = {
        "time=N/A bitrate=N/A\r",
        "time= 00:00:01.00\r",      // a blank before the clock
        "time=00:01 x\n",           // minutes and seconds only
        "time=:00:01.00\n",         // no hours
        "time=00::01.00\n",         // no minutes
        "time=00:00:.50\n",         // no seconds
        "tim=00:00:01.00 tt ti t\n", // near misses of the key
        "time=--00:00:01.00\n",
        "time=1234567890123:00:00.00\n", // longer than any clock
        "time=",
        "tim",
        "",
    };
    for (const char* text : texts) {
        ProgressRewriter rewriter;
        EXPECT_EQ(rewrite(text, 1, rewriter), text);
        EXPECT_FALSE(rewriter.hasTime()) << text;
    }
}

TEST(ProgressRewriter, HandlesSignsRepeatsAndLongClocks) {
    EXPECT_EQ(rewrite("time=-00:00:00.02 "), "time=-0.02 ");
    EXPECT_EQ(rewrite("ttime=00:00:01.50 "), "ttime=1.50 ");
    EXPECT_EQ(rewrite("time=time=00:00:01.50 "), "time=time=1.50 ");
    EXPECT_EQ(rewrite("time=100:00:00.125\r"), "time=360000.125\r");
    const std::string withZero("a\0time=00:00:01.00\0b", 20);
    EXPECT_EQ(rewrite(withZero), std::string("a\0time=1.00\0b", 13));
}

} // namespace
