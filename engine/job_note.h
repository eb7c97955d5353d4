// The short note kept per job that says why its conversion ended as it did: the
// encoder's own lines (refusals, values it changed), the last error line of the program
// it runs, or why the encoder could not start at all. The window shows it; the status
// texts themselves never change.
#pragma once

#include "conversion_job.h"
#include "tool_process.h"

#include <cstddef>

// Longest line kept; longer ones are cut and end in "...".
inline constexpr std::size_t kNoteLineSize = 200;
// The encoder prefixes its own lines with this.
inline constexpr const char kEncoderLinePrefix[] = "cv.dat: ";

// The encoder's output cut into lines as it arrives, in pieces of any size.
struct JobNoteReader {
    char line[kNoteLineSize]; // the line being read, cut when longer
    std::size_t length;
    char lastDetail[kNoteLineSize]; // the last line that may explain a failure
};

extern JobNoteReader g_encoderNoteReader; // fed by the encoder's output handler

// Why an encoder was not started.
enum class StartFailure {
    CommandRefused, // the output path or the command line could not be composed
    NotStarted,     // the program did not start
};

// Empties the job's note and the reader before a run.
void beginJobNote(ConversionJob* job, JobNoteReader* reader);
// Reads a chunk of the encoder's output: each of the encoder's own lines goes into the
// note at once; other lines are remembered as the possible reason of a failure.
void readJobNoteOutput(ConversionJob* job, JobNoteReader* reader, const char* chunk);
// After the run: for a failure, adds the last remembered line, or else how the encoder
// ended (signal, exit code, stopped early at `percent`, or no usable output file).
void finishJobNote(ConversionJob* job, JobNoteReader* reader, const ToolProcess* tool,
                   double percent, bool succeeded);
// Writes why the encoder at `programPath` was not started for the job.
void noteStartFailure(ConversionJob* job, StartFailure failure, const char* programPath);
// Adds one line to the note (cut to kNoteLineSize); a line that no longer fits is dropped.
void addNoteLine(ConversionJob* job, const char* line);
