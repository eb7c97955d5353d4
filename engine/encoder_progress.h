// The encoder run: its output cut into lines, the last "time=" position, and the
// percentage of the job's range it stands for.
#pragma once

#include "conversion_job.h"
#include "tool_process.h"

#include <cstdint>

struct EncoderProgress {
    int32_t capacity;  // allocated size of each of the two buffers
    char* lastLine;    // last complete line of output; nullptr until the first chunk
    char* pendingText; // output after the last line break; nullptr until the first chunk
    ConversionJob* job;
    double currentTime; // last "time=" value in seconds
};

// The encoder and its progress; programPath is set at start-up with setToolProgram.
extern EncoderProgress g_encoderProgress;
extern ToolProcess g_encoderProcess; // context &g_encoderProgress, handlers kEncoderHandlers
extern const ToolHandlers kEncoderHandlers;

// Releases the buffers and zeroes every field (no job, time 0).
void resetEncoderProgress(EncoderProgress* progress);
// Adds a chunk to pendingText and moves the last complete line into lastLine.
void appendOutput(EncoderProgress* progress, const char* chunk);
// The splitting step: a line break is any run of CR and LF. When pendingText holds a
// complete line, the last one goes to lastLine and the text after it stays pending.
void takeLastLine(char* pendingText, char* lastLine, int32_t capacity);
// currentTime x 100 / (trimEnd - trimStart) of the job, unclamped; 0 without a job.
double progressPercent(const EncoderProgress* progress);

// The encoder's handlers: buildEncoderCommandLine into commandLine (its result is
// returned); appendOutput and the "time=" value; release of the line buffers.
int encoderPrepare(ToolProcess* tool);
void encoderOnOutput(ToolProcess* tool);
void encoderFinish(ToolProcess* tool);
