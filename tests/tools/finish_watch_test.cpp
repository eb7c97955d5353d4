// When a finishing encoder is ended by force: only after 15 s without a sign of life.
#include "finish_watch.h"

#include <gtest/gtest.h>

namespace {

using Force = FinishWatch::Force;

struct Seen {
    std::int64_t atMs;
    bool output;
    std::int64_t fileSize, fileTime;
    Force due; // what is due right after it
};

TEST(FinishWatch, ForcesAnEndOnlyAfterLongQuietGentlyFirst) {
    const Seen seen[] = {
        {0, false, 100, 1, Force::None},     // "q" sent at 0
        {14000, true, 100, 1, Force::None},  // output resets the quiet
        {28000, false, 100, 1, Force::None}, // 14 s of quiet
        {28500, false, 250, 1, Force::None}, // the file grew
        {43000, false, 250, 2, Force::None}, // its time changed (rewritten in place)
        {57999, false, 250, 2, Force::None}, {58000, false, 250, 2, Force::Gently}, // 15 s of quiet
        {58001, false, 250, 2, Force::None},                                        // each once
        {60999, false, 250, 2, Force::None}, {61000, false, 250, 2, Force::Hard},   // 3 s more
        {90000, false, 250, 2, Force::None},
    };
    FinishWatch watch;
    EXPECT_EQ(watch.due(100000), Force::None); // nothing before "q"
    watch.start(0);
    for (const Seen& row : seen) {
        watch.observe(row.atMs, row.output, row.fileSize, row.fileTime);
        EXPECT_EQ(watch.due(row.atMs), row.due) << row.atMs;
    }
}

} // namespace
