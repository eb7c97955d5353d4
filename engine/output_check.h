// Asking pb.dat about a file an encoder has written: the length its container records
// ("-show_length", a header read, after every conversion) or its sound decoded in full
// ("-decode_audio", when the user asks for a verified output).
#pragma once

#include "path_limits.h"
#include "tool_process.h"

#include <cstddef>
#include <cstdint>

// pb.dat answers these checks in a few short lines; anything beyond is not kept.
inline constexpr std::size_t kOutputAnswerSize = 1024;
inline constexpr std::size_t kDecodeErrorSize = 128;

enum class OutputCheckKind : std::int32_t {
    Length, // the recorded length only
    Decode, // the whole sound decoded: samples, rate and errors
};

// The context of a ToolProcess with kOutputCheckHandlers: what to ask, and the answer.
struct OutputCheck {
    char path[kPathSize]; // the written file
    OutputCheckKind kind;
    char answer[kOutputAnswerSize]; // pb.dat's output so far, terminated
    std::int32_t answerLength;
    // Read from the answer by the finish handler.
    double length;                     // recorded seconds; -1 when unknown ("N/A", no answer)
    std::int64_t samples;              // decoded samples per channel; -1 when not decoded
    std::int32_t sampleRate;           // of the decoded sound; 0 when not decoded
    std::int64_t errors;               // demux and decode errors; -1 when not decoded
    char firstError[kDecodeErrorSize]; // libav's words for the first error, or empty
};

extern const ToolHandlers kOutputCheckHandlers;

// Empties the check and names the file and what to ask about it.
void beginOutputCheck(OutputCheck* check, const char* path, OutputCheckKind kind);
// Reads pb.dat's answer ("length=", "samples=", "sample_rate=", "errors=",
// "first_error=", each only at the start of a line) into the check's results.
void readOutputCheckAnswer(const char* answer, OutputCheck* check);
// The decoded length in seconds; -1 when the sound was not decoded.
double decodedSeconds(const OutputCheck& check);

// The handlers: "\"%s\" -show_length \"%s\"" (or -decode_audio) into commandLine, refused
// (non-zero) when it does not fit or a path holds a double quote; keeping the answer;
// reading it.
int outputCheckPrepare(ToolProcess* tool);
void outputCheckOnOutput(ToolProcess* tool);
void outputCheckFinish(ToolProcess* tool);
