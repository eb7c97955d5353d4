// Which lines of an encoder run end up in a job's note, whatever the pieces they arrive in.
#include "job_note.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct NoteCase {
    const char* name;
    const char* output; // the run's whole output
    int exitStatus;
    bool succeeded;
    const char* note;
};

class JobNoteFromOutput : public testing::TestWithParam<NoteCase> {};

TEST_P(JobNoteFromOutput, KeepsTheLinesThatExplainTheResult) {
    const NoteCase& c = GetParam();
    const std::string output = c.output;
    // One byte at a time and all at once give the same note.
    for (std::size_t piece : {std::size_t(1), output.size() + 1}) {
        ConversionJob job{};
        JobNoteReader reader;
        beginJobNote(&job, &reader);
        for (std::size_t at = 0; at < output.size(); at += piece)
            readJobNoteOutput(&job, &reader, output.substr(at, piece).c_str());
        ToolProcess tool;
        tool.exitStatus = c.exitStatus;
        finishJobNote(&job, &reader, &tool, 42.0, c.succeeded);
        EXPECT_STREQ(job.note, c.note) << "pieces of " << piece;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Runs, JobNoteFromOutput,
    testing::Values(
        NoteCase{"adjusted", "cv.dat: ac3 cannot write 96000 Hz: wrote 48000 Hz\nInput #0, wav\n"
                             "  Duration: 00:00:01.00\nsize= 1kB time=1.00 bitrate=1\r"
                             "video:0kB audio:1kB\ncv.dat: finished at time=1.00\n",
                 0, true, "ac3 cannot write 96000 Hz: wrote 48000 Hz"},
        NoteCase{"encoder complaint",
                 "Press [q] to stop\n[libopus @ 0x55] Specified sample rate 44100 is not supported\n"
                 "Error initializing output stream 0:0 -- Error while opening encoder\n"
                 "Conversion failed!\ncv.dat: removed the incomplete output file o.opus\n",
                 1, false, "[libopus @ 0x55] Specified sample rate 44100 is not supported"},
        NoteCase{"missing input", "in.wav: No such file or directory", 1, false,
                 "in.wav: No such file or directory"},
        NoteCase{"silent crash", "", 139, false, "the encoder ended with exit status 139"},
        NoteCase{"stopped early", "size= 1kB time=1.00 bitrate=1\n", 0, false,
                 "the encoder stopped at 42.0% of the range"}));

} // namespace
