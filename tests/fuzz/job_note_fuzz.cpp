// The job note's reader on arbitrary encoder output cut into arbitrary reads, fed
// through the progress reader's line split as in a run: the note must stay a terminated
// text within its field, of lines that each fit a note line and hold no line break,
// and cutting the same output differently must not change it.
#include "chunk_cutter.h"
#include "encoder_progress.h"
#include "job_note.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// The note of one run over `data`, read in pieces of at most `maxPiece` bytes; the
// last byte picks how the encoder ended.
void noteOfRun(const std::uint8_t* data, std::size_t size, std::size_t maxPiece,
               ConversionJob* job) {
    JobNoteReader reader;
    EncoderProgress progress = {0, nullptr, nullptr, job, 0.0, &reader, nullptr};
    ToolProcess tool{};
    tool.context = &progress;
    tool.handlers = &kEncoderHandlers;
    beginJobNote(job, &reader);
    ChunkCutter cutter(data, size, maxPiece);
    for (std::size_t at = 0; at < size;) {
        const std::size_t piece = std::min(cutter.next(), size - at);
        std::memcpy(tool.chunk, data + at, piece);
        tool.chunk[piece] = '\0';
        at += piece;
        encoderOnOutput(&tool);
    }
    encoderFinish(&tool);
    const std::uint8_t ending = size > 0 ? data[size - 1] : 0;
    tool.exitStatus = ending % 3 == 0 ? 0 : ending;
    tool.endedBySignal = ending % 5 == 1;
    // Not the progress read: which line was last at a read depends on how reads fell.
    const double percent = (ending & 0x40) != 0 ? 100.0 : 42.5;
    const JobVerdict verdict =
        judgeEncoderRun(job, tool, percent, ending & 1, (ending & 0x80) != 0);
    finishJobNote(verdict, &reader, "/App/cv.dat");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Output beyond the reader's limit without a line break is dropped on purpose, and
    // then depends on where the reads fell.
    if (size >= (1 << 20))
        return 0;
    static ConversionJob job{};
    job.trimStart = 0.0;
    job.trimEnd = 100.0;
    noteOfRun(data, size, kChunkSize - 1, &job);
    const std::size_t length = strnlen(job.note, sizeof job.note);
    if (length == sizeof job.note)
        std::abort(); // not terminated
    std::size_t lineLength = 0;
    for (std::size_t i = 0; i < length; ++i) {
        if (job.note[i] == '\r')
            std::abort();
        lineLength = job.note[i] == '\n' ? 0 : lineLength + 1;
        if (lineLength >= kNoteLineSize)
            std::abort();
    }
    // One byte at a time gives the same note (a NUL ends each read's text early, so
    // output holding one is seen differently when cut differently).
    if (std::memchr(data, 0, size) != nullptr)
        return 0;
    static ConversionJob again{};
    again.trimStart = 0.0;
    again.trimEnd = 100.0;
    noteOfRun(data, size, 1, &again);
    if (std::strcmp(job.note, again.note) != 0)
        std::abort();
    return 0;
}
