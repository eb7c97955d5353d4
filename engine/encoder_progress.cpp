// The encoder run: its output kept as a last complete line and a pending rest, the
// "time=" position read from that line, and the percentage of the job's range.
#include "encoder_progress.h"

#include "bounded_text.h"
#include "encoder_command_line.h"
#include "job_note.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

const ToolHandlers kEncoderHandlers = {encoderPrepare, encoderOnOutput, encoderFinish};

namespace {
// Output without a line break beyond this is no status line; it is dropped rather
// than kept growing.
constexpr int32_t kMaxPendingText = 1 << 20;

void releaseBuffers(EncoderProgress* progress) {
    std::free(progress->lastLine);
    std::free(progress->pendingText);
    progress->lastLine = nullptr;
    progress->pendingText = nullptr;
    progress->capacity = 0;
}

bool isLineBreak(char c) {
    return c == '\r' || c == '\n';
}

void readNoteLine(const char* line, std::size_t length, void* context) {
    auto* progress = static_cast<EncoderProgress*>(context);
    readJobNoteLine(progress->job, progress->note, line, length);
}
} // namespace

void resetEncoderProgress(EncoderProgress* progress) {
    releaseBuffers(progress);
    progress->job = nullptr;
    progress->currentTime = 0.0;
}

void appendOutput(EncoderProgress* progress, const char* chunk) {
    std::size_t length = std::strlen(chunk);
    if (length == 0) {
        return;
    }
    int32_t n = static_cast<int32_t>(std::min<std::size_t>(length, kMaxPendingText));
    if (progress->lastLine == nullptr || progress->pendingText == nullptr) {
        releaseBuffers(progress);
        progress->lastLine = static_cast<char*>(std::malloc(static_cast<std::size_t>(n) + 1));
        progress->pendingText = static_cast<char*>(std::malloc(static_cast<std::size_t>(n) + 1));
        if (progress->lastLine == nullptr || progress->pendingText == nullptr) {
            releaseBuffers(progress);
            return;
        }
        progress->lastLine[0] = '\0';
        progress->pendingText[0] = '\0';
        progress->capacity = n + 1;
    }
    int32_t pending = static_cast<int32_t>(std::strlen(progress->pendingText));
    if (pending + n > kMaxPendingText) {
        progress->pendingText[0] = '\0';
        pending = 0;
    }
    if (progress->capacity < n + pending + 1) {
        int32_t capacity = n + pending + 1;
        char* line = static_cast<char*>(
            std::realloc(progress->lastLine, static_cast<std::size_t>(capacity)));
        if (line == nullptr) {
            return; // out of memory: this chunk is lost, nothing else
        }
        progress->lastLine = line;
        char* text = static_cast<char*>(
            std::realloc(progress->pendingText, static_cast<std::size_t>(capacity)));
        if (text == nullptr) {
            return;
        }
        progress->pendingText = text;
        progress->capacity = capacity;
    }
    std::memcpy(progress->pendingText + pending, chunk, static_cast<std::size_t>(n));
    progress->pendingText[pending + n] = '\0';
    takeLastLine(progress->pendingText, progress->lastLine, progress->capacity,
                 progress->note != nullptr ? readNoteLine : nullptr, progress);
}

void takeLastLine(char* pendingText, char* lastLine, int32_t capacity, LineReader each,
                  void* context) {
    char* start = pendingText;
    while (isLineBreak(*start)) {
        ++start;
    }
    if (*start == '\0') {
        pendingText[0] = '\0';
        return;
    }
    // After the last run of line breaks comes the rest; before it, the complete lines.
    char* end = start + std::strlen(start);
    char* restStart = end;
    while (restStart > start && !isLineBreak(restStart[-1])) {
        --restStart;
    }
    if (restStart == start) {
        return; // no complete line yet
    }
    const char* lastStart = start;
    std::size_t lastLength = 0;
    for (char* lineStart = start; lineStart < restStart;) {
        char* lineEnd = lineStart;
        while (!isLineBreak(*lineEnd)) {
            ++lineEnd;
        }
        lastStart = lineStart;
        lastLength = static_cast<std::size_t>(lineEnd - lineStart);
        if (each != nullptr) {
            each(lineStart, lastLength, context);
        }
        lineStart = lineEnd;
        while (lineStart < restStart && isLineBreak(*lineStart)) {
            ++lineStart;
        }
    }
    if (capacity <= 0 || lastLength >= static_cast<std::size_t>(capacity)) {
        return; // cannot happen with buffers of one capacity; never write past it
    }
    std::memmove(lastLine, lastStart, lastLength);
    lastLine[lastLength] = '\0';
    std::memmove(pendingText, restStart, static_cast<std::size_t>(end - restStart) + 1);
}

double progressPercent(const EncoderProgress* progress) {
    if (progress->job == nullptr) {
        return 0.0;
    }
    return progress->currentTime * 100.0 / (progress->job->trimEnd - progress->job->trimStart);
}

int encoderPrepare(ToolProcess* tool) {
    auto* progress = static_cast<EncoderProgress*>(tool->context);
    return buildEncoderCommandLine(tool->programPath, progress->job, tool->commandLine,
                                   progress->claims);
}

void encoderOnOutput(ToolProcess* tool) {
    auto* progress = static_cast<EncoderProgress*>(tool->context);
    appendOutput(progress, tool->chunk);
    if (progress->lastLine == nullptr) {
        return;
    }
    const char* time = std::strstr(progress->lastLine, "time=");
    if (time != nullptr) {
        progress->currentTime = readLeadingNumber(time + 5);
    }
}

void encoderFinish(ToolProcess* tool) {
    auto* progress = static_cast<EncoderProgress*>(tool->context);
    // Output that ended without a line break is still the run's last line for the note.
    if (progress->note != nullptr && progress->pendingText != nullptr) {
        const char* rest = progress->pendingText;
        while (isLineBreak(*rest)) {
            ++rest;
        }
        if (*rest != '\0') {
            readJobNoteLine(progress->job, progress->note, rest, std::strlen(rest));
        }
    }
    releaseBuffers(progress); // time and job stay for the verdict
}
