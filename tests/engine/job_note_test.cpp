// Which lines of an encoder run end up in a job's note, whatever the pieces they arrive
// in: the note reads the same lines as the progress reader.
#include "encoder_progress.h"
#include "job_note.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <string>

namespace {

struct NoteCase {
    const char* name;
    const char* output; // the run's whole output
    int exitStatus;
    double percent;
    const char* note;
};

class JobNoteFromOutput : public testing::TestWithParam<NoteCase> {};

TEST_P(JobNoteFromOutput, KeepsTheLinesThatExplainTheResult) {
    const NoteCase& c = GetParam();
    const std::string output = c.output;
    // The note's numbers have a decimal point whatever the locale says.
    const bool commaLocale = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    // One byte at a time and all at once give the same note.
    for (std::size_t piece : {std::size_t(1), output.size() + 1}) {
        ConversionJob job{};
        JobNoteReader reader;
        EncoderProgress progress{};
        progress.job = &job;
        progress.note = &reader;
        ToolProcess tool;
        tool.context = &progress;
        tool.handlers = &kEncoderHandlers;
        beginJobNote(&job, &reader);
        for (std::size_t at = 0; at < output.size(); at += piece) {
            std::snprintf(tool.chunk, sizeof tool.chunk, "%s", output.substr(at, piece).c_str());
            encoderOnOutput(&tool);
        }
        encoderFinish(&tool);
        tool.exitStatus = c.exitStatus;
        finishJobNote(judgeEncoderRun(&job, tool, c.percent, 1), &reader, "/App/cv.dat");
        EXPECT_STREQ(job.note, c.note) << c.name << ", pieces of " << piece
                                       << (commaLocale ? ", under de_DE" : "");
    }
    std::setlocale(LC_ALL, "C");
}

INSTANTIATE_TEST_SUITE_P(
    Runs, JobNoteFromOutput,
    testing::Values(
        NoteCase{"adjusted", "cv.dat: ac3 cannot write 96000 Hz: wrote 48000 Hz\nInput #0, wav\n"
                             "  Duration: 00:00:01.00\nsize= 1kB time=1.00 bitrate=1\r"
                             "video:0kB audio:1kB\ncv.dat: finished at time=1.00\n",
                 0, 100.0, "ac3 cannot write 96000 Hz: wrote 48000 Hz"},
        NoteCase{"encoder complaint",
                 "Press [q] to stop\n[libopus @ 0x55] Specified sample rate 44100 is not supported\n"
                 "Error initializing output stream 0:0 -- Error while opening encoder\n"
                 "Conversion failed!\ncv.dat: removed the incomplete output file o.opus\n",
                 1, 0.0, "[libopus @ 0x55] Specified sample rate 44100 is not supported"},
        NoteCase{"missing input, no final line break", "in.wav: No such file or directory", 1, 0.0,
                 "in.wav: No such file or directory"},
        NoteCase{"silent crash", "", 139, 100.0, "the encoder ended with exit status 139"},
        NoteCase{"stopped early", "size= 1kB time=1.00 bitrate=1\n", 0, 42.0,
                 "the encoder stopped at 42.00% of the range"}));

} // namespace
