// pb.dat's checks of a written file: the line that asks, the answer kept, the values read.
#include "output_check.h"

#include "bounded_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

const ToolHandlers kOutputCheckHandlers = {outputCheckPrepare, outputCheckOnOutput,
                                           outputCheckFinish};

namespace {

// The value behind `key` at the start of a line, or nullptr.
const char* valueOf(const char* answer, const char* key) {
    const char* at = findAtLineStart(answer, key);
    return at == nullptr ? nullptr : at + std::strlen(key);
}

// A whole number that is not negative, up to the end of its line; -1 for anything else.
std::int64_t readCount(const char* text) {
    if (text == nullptr)
        return -1;
    const char* end = text + std::strcspn(text, "\r\n");
    std::int64_t value = -1;
    const auto read = std::from_chars(text, end, value);
    return read.ec == std::errc() && read.ptr == end && value >= 0 ? value : -1;
}

// Seconds that are a number, finite and not negative; -1 for "N/A" and anything else.
double readSeconds(const char* text) {
    if (text == nullptr)
        return -1.0;
    text += std::strspn(text, " \t");
    if (!((*text >= '0' && *text <= '9') || *text == '.'))
        return -1.0;
    const double seconds = readLeadingNumber(text);
    return seconds >= 0.0 && std::isfinite(seconds) ? seconds : -1.0;
}

} // namespace

void beginOutputCheck(OutputCheck* check, const char* path, OutputCheckKind kind) {
    *check = {};
    copyText(check->path, sizeof check->path, path);
    check->kind = kind;
    readOutputCheckAnswer("", check);
}

void readOutputCheckAnswer(const char* answer, OutputCheck* check) {
    check->length = readSeconds(valueOf(answer, "length="));
    check->samples = readCount(valueOf(answer, "samples="));
    const std::int64_t rate = readCount(valueOf(answer, "sample_rate="));
    check->sampleRate = rate > 0 && rate <= INT32_MAX ? static_cast<std::int32_t>(rate) : 0;
    check->errors = readCount(valueOf(answer, "errors="));
    check->firstError[0] = '\0';
    if (const char* error = valueOf(answer, "first_error=")) {
        // The words up to the line's end, cut to the field: they only explain.
        const std::size_t length = std::strcspn(error, "\r\n");
        const std::size_t kept =
            length < sizeof check->firstError ? length : sizeof check->firstError - 1;
        std::memcpy(check->firstError, error, kept);
        check->firstError[kept] = '\0';
    }
    // Samples without a rate, or without the error count, are no decode one can trust.
    if (check->samples < 0 || check->sampleRate == 0 || check->errors < 0) {
        check->samples = -1;
        check->sampleRate = 0;
        check->errors = -1;
    }
}

double decodedSeconds(const OutputCheck& check) {
    if (check.samples < 0 || check.sampleRate <= 0)
        return -1.0;
    return static_cast<double>(check.samples) / check.sampleRate;
}

int outputCheckPrepare(ToolProcess* tool) {
    auto* check = static_cast<OutputCheck*>(tool->context);
    const char* option = check->kind == OutputCheckKind::Decode ? "-decode_audio" : "-show_length";
    char line[kProbeLineSize];
    if (hasDoubleQuote(tool->programPath) || hasDoubleQuote(check->path) ||
        formatText(line, sizeof line, "\"%s\" %s \"%s\"", tool->programPath, option,
                   check->path) != 0)
        return -1;
    std::memcpy(tool->commandLine, line, sizeof line);
    check->answer[0] = '\0';
    check->answerLength = 0;
    return 0;
}

void outputCheckOnOutput(ToolProcess* tool) {
    auto* check = static_cast<OutputCheck*>(tool->context);
    const std::size_t room =
        sizeof check->answer - 1 - static_cast<std::size_t>(check->answerLength);
    const std::size_t n = std::min(std::strlen(tool->chunk), room);
    std::memcpy(check->answer + check->answerLength, tool->chunk, n);
    check->answerLength += static_cast<std::int32_t>(n);
    check->answer[check->answerLength] = '\0';
}

void outputCheckFinish(ToolProcess* tool) {
    auto* check = static_cast<OutputCheck*>(tool->context);
    readOutputCheckAnswer(check->answer, check);
}
