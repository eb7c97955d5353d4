// Cutting the encoder's output into lines and reading its "time=" position.
#include "encoder_progress.h"


#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <string>
#include <vector>

namespace {
class EncoderOutputTest : public testing::Test {
protected:
    EncoderOutputTest() {
        m_tool.context = &m_progress;
        m_tool.handlers = &kEncoderHandlers;
    }
    ~EncoderOutputTest() override { resetEncoderProgress(&m_progress); }

    // Hands `text` to the encoder's output handler as one chunk.
    void feed(const std::string& text) {
        ASSERT_LT(text.size(), kChunkSize);
        std::memcpy(m_tool.chunk, text.c_str(), text.size() + 1);
        m_tool.handlers->onOutput(&m_tool);
    }
    std::string lastLine() const { return m_progress.lastLine ? m_progress.lastLine : "<none>"; }
    std::string pending() const {
        return m_progress.pendingText ? m_progress.pendingText : "<none>";
    }

    EncoderProgress m_progress{};
    ToolProcess m_tool{};
};

TEST_F(EncoderOutputTest, NumberSplitAcrossChunksIsReadOnceTheLineIsComplete) {
    feed("size= 1kB time=5.5 bitrate=1\r");
    EXPECT_EQ(m_progress.currentTime, 5.5);
    feed("size= 2kB time=6.");
    EXPECT_EQ(m_progress.currentTime, 5.5);
    EXPECT_EQ(pending(), "size= 2kB time=6.");
    feed("5\r");
    EXPECT_EQ(m_progress.currentTime, 6.5);
    EXPECT_EQ(lastLine(), "size= 2kB time=6.5");
    EXPECT_EQ(pending(), "");
}

TEST_F(EncoderOutputTest, OnlyTheLastCompleteLineOfAChunkCounts) {
    feed("time=1.20 a\rtime=2.40 b\rsiz");
    EXPECT_EQ(lastLine(), "time=2.40 b");
    EXPECT_EQ(pending(), "siz");
    EXPECT_EQ(m_progress.currentTime, 2.4);
}

TEST_F(EncoderOutputTest, ChunkOfLineBreaksEmptiesThePendingText) {
    feed("time=3 x\r\npart");
    feed("\r\n\r\n");
    EXPECT_EQ(pending(), "");
    EXPECT_EQ(lastLine(), "part");
    feed("\n\r");
    EXPECT_EQ(pending(), "");
    EXPECT_EQ(lastLine(), "part");
}

TEST_F(EncoderOutputTest, BlankAfterTimeIsSkippedAndClockOrNoNumberReadsAsZeroOrKeeps) {
    feed("time= 12.34 bitrate=x\n");
    EXPECT_EQ(m_progress.currentTime, 12.34);
    feed("Stream mapping:\n"); // no "time=": the value stays
    EXPECT_EQ(m_progress.currentTime, 12.34);
    feed("time=00:01:02.50\n");
    EXPECT_EQ(m_progress.currentTime, 0.0);
    feed("time=N/A\n");
    EXPECT_EQ(m_progress.currentTime, 0.0);
    feed("time=7\ntime=nan\n"); // not a number: 0, never NaN on the display
    EXPECT_EQ(m_progress.currentTime, 0.0);
}

TEST_F(EncoderOutputTest, OutputWithoutLineBreakNeverFillsTheLine) {
    for (int i = 0; i < 50; ++i) {
        feed("time=9.9 ");
    }
    EXPECT_EQ(lastLine(), "");
    EXPECT_EQ(m_progress.currentTime, 0.0);
    EXPECT_EQ(pending().size(), 50u * 9u);
    EXPECT_GE(m_progress.capacity, 50 * 9 + 1);
}

TEST_F(EncoderOutputTest, NumbersAreReadTheSameInAnyLocale) {
    // A locale with a decimal comma must not turn 62.50 into 62.
    const char* locales[] = {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE", "ru_RU.UTF-8"};
    bool commaLocale = false;
    for (const char* name : locales) {
        if (std::setlocale(LC_ALL, name) != nullptr &&
            std::strcmp(std::localeconv()->decimal_point, ",") == 0) {
            commaLocale = true;
            break;
        }
    }
    if (!commaLocale) {
        std::setlocale(LC_ALL, "C");
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    }
    feed("time=62.50 x\r");
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(m_progress.currentTime, 62.5);
}

TEST(ProgressPercent, IsTimeOverTheRangeUnclamped) {
    ConversionJob job{};
    job.trimStart = 10.0;
    job.trimEnd = 50.0;
    EncoderProgress progress{};
    progress.job = &job;
    progress.currentTime = 30.0;
    EXPECT_DOUBLE_EQ(progressPercent(&progress), 75.0);
    progress.currentTime = 44.0;
    EXPECT_DOUBLE_EQ(progressPercent(&progress), 110.0);
    progress.job = nullptr;
    EXPECT_EQ(progressPercent(&progress), 0.0);
}

} // namespace
