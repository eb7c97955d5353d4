// The short note kept per job that says why its conversion ended as it did: the
// encoder's own lines (refusals, values it changed), the last error line of the program
// it runs, or why the encoder could not start at all. The window shows it; the status
// texts themselves never change.
#pragma once

#include "conversion_job.h"
#include "job_verdict.h"

#include <cstddef>

// Longest line kept; longer ones are cut and end in "...".
inline constexpr std::size_t kNoteLineSize = 200;
// The encoder prefixes its own lines with this.
inline constexpr const char kEncoderLinePrefix[] = "cv.dat: ";

// What the note remembers of the encoder's lines while they arrive.
struct JobNoteReader {
    char lastDetail[kNoteLineSize]; // the last line that may explain a failure
};

// Empties the job's note and the reader before a run.
void beginJobNote(ConversionJob* job, JobNoteReader* reader);
// Reads one complete line of the encoder's output (`length` bytes, no line break): each
// of the encoder's own lines goes into the note at once; other lines are remembered as
// the possible reason of a failure.
void readJobNoteLine(ConversionJob* job, JobNoteReader* reader, const char* line,
                     std::size_t length);
// Adds the reason of `verdict` to its job's note. An encoder run that failed gets the last
// remembered line, or else how the encoder ended (signal, exit status, stopped early at
// its percentage, or no usable output file); a job never started gets a note of its own
// that says why, naming the encoder at `programPath`. A converted job gets nothing more.
void finishJobNote(const JobVerdict& verdict, const JobNoteReader* reader, const char* programPath);
// Adds one line to the note (cut to kNoteLineSize); a line that no longer fits is dropped.
void addNoteLine(ConversionJob* job, const char* line);
