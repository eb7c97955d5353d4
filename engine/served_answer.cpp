// Cutting a serving prober's answers out of its output.
#include "served_answer.h"

#include "tool_process.h"

#include <cstdlib>
#include <cstring>

namespace {

// The line that ends an answer: this, the status, "]".
constexpr char kAnswerEnd[] = "[/ANSWER status=";

// The status an answer's end line gives, or kExitUnknown when the line is none. `line`
// holds the first bytes of a line `length` long, its newline included.
int32_t answerEndStatus(const char* line, int32_t length) {
    const auto prefix = static_cast<int32_t>(sizeof kAnswerEnd - 1);
    if (length < prefix + 3 || length > static_cast<int32_t>(sizeof ServedAnswer::lineHead) ||
        std::memcmp(line, kAnswerEnd, static_cast<std::size_t>(prefix)) != 0 ||
        line[length - 2] != ']')
        return kExitUnknown;
    int32_t status = 0;
    for (int32_t i = prefix; i < length - 2; ++i) {
        if (line[i] < '0' || line[i] > '9')
            return kExitUnknown;
        status = status * 10 + (line[i] - '0');
        if (status > 255) // no exit status is
            return kExitUnknown;
    }
    return status;
}

void keep(ServedAnswer* answer, char c) {
    if (answer->length >= kMaxServedAnswer)
        return;
    if (answer->length == answer->capacity) {
        const int32_t grown = answer->capacity == 0 ? 4096 : answer->capacity * 2;
        auto* bigger =
            static_cast<char*>(std::realloc(answer->text, static_cast<std::size_t>(grown)));
        if (bigger == nullptr)
            return;
        answer->text = bigger;
        answer->capacity = grown;
    }
    answer->text[answer->length++] = c;
}

} // namespace

void initServedAnswer(ServedAnswer* answer) {
    *answer = {};
    answer->status = kExitUnknown;
}

void readServedOutput(ServedAnswer* answer, const char* piece) {
    for (const char* p = piece; *p != '\0' && answer->status == kExitUnknown; ++p) {
        if (answer->lineLength < static_cast<int32_t>(sizeof answer->lineHead))
            answer->lineHead[answer->lineLength] = *p;
        ++answer->lineLength;
        if (answer->greeted)
            keep(answer, *p);
        if (*p != '\n')
            continue;
        const int32_t status = answerEndStatus(answer->lineHead, answer->lineLength);
        if (status != kExitUnknown) {
            answer->length = answer->lineStart; // the end line is no part of it
            if (answer->greeted)
                answer->status = status;
            answer->greeted = true; // the first is the greeting: an empty answer to no request
        }
        answer->lineStart = answer->length;
        answer->lineLength = 0;
    }
}

void forgetServedAnswer(ServedAnswer* answer) {
    answer->length = 0;
    answer->lineStart = 0;
    answer->lineLength = 0;
    answer->status = kExitUnknown;
}

void releaseServedAnswer(ServedAnswer* answer) {
    std::free(answer->text);
    initServedAnswer(answer);
}
