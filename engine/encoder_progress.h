// The encoder run: its output cut into lines, the last "time=" position, and the
// percentage of the job's range it stands for. The same lines feed the job's note.
#pragma once

#include "conversion_job.h"
#include "job_note.h"
#include "tool_process.h"

#include <cstddef>
#include <cstdint>

struct OutputClaims;

struct EncoderProgress {
    int32_t capacity;  // allocated size of each of the two buffers
    char* lastLine;    // last complete line of output; nullptr until the first chunk
    char* pendingText; // output after the last line break; nullptr until the first chunk
    ConversionJob* job;
    double currentTime;  // last "time=" value in seconds
    JobNoteReader* note; // reads every complete line for the job's note; nullptr: none
    // Names the runs of the same queue hold, which the output name must avoid; nullptr: none.
    const OutputClaims* claims;
};

// The encoder's handlers; a ToolProcess with them has an EncoderProgress as its context.
extern const ToolHandlers kEncoderHandlers;

// Releases the buffers and zeroes every field but the note reader and the claims (no job,
// time 0).
void resetEncoderProgress(EncoderProgress* progress);
// Adds a chunk to pendingText and moves the last complete line into lastLine.
void appendOutput(EncoderProgress* progress, const char* chunk);
// Reads one complete line (`length` bytes, no line break) of the output.
using LineReader = void (*)(const char* line, std::size_t length, void* context);
// The splitting step: a line break is any run of CR and LF. When pendingText holds
// complete lines, each goes to `each` (when given) in order, the last one to lastLine,
// and the text after it stays pending.
void takeLastLine(char* pendingText, char* lastLine, int32_t capacity, LineReader each = nullptr,
                  void* context = nullptr);
// currentTime x 100 / (trimEnd - trimStart) of the job, unclamped; 0 without a job.
double progressPercent(const EncoderProgress* progress);

// The encoder's handlers: buildEncoderCommandLine (with the claims) into commandLine (its result is
// returned); appendOutput and the "time=" value; the unfinished last line to the note
// and release of the line buffers.
int encoderPrepare(ToolProcess* tool);
void encoderOnOutput(ToolProcess* tool);
void encoderFinish(ToolProcess* tool);
