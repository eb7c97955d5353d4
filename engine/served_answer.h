// The reader of what a serving prober prints ("pb.dat -serve"): a greeting, then one
// answer for each request, each ended by the line "[/ANSWER status=N]". It cuts the
// answers out of the output as it comes, in pieces of any size.
#pragma once

#include <cstdint>

struct ServedAnswer {
    char* text; // the pending answer so far (not terminated); nullptr when none
    int32_t length;
    int32_t capacity;
    int32_t lineStart;  // where the line being read began in `text`
    int32_t lineLength; // bytes of that line so far, stored or not
    char lineHead[24];  // its first bytes: enough to tell the end of an answer
    int32_t status;     // the status the ended answer gave; kExitUnknown while none
    bool greeted;       // the greeting was read: the program serves
};

// The most of an answer that is kept; a report is a few kilobytes.
inline constexpr int32_t kMaxServedAnswer = 16 << 20;

// Empties the reader for a program that has not greeted yet.
void initServedAnswer(ServedAnswer* answer);
// Reads the next piece of output (terminated). Text before the greeting is no answer's;
// text after an answer's end line and before forgetServedAnswer is not kept either.
void readServedOutput(ServedAnswer* answer, const char* piece);
// Drops the pending answer (its buffer is kept for the next); the greeting stays read.
void forgetServedAnswer(ServedAnswer* answer);
// Frees the buffer and empties the reader as initServedAnswer does.
void releaseServedAnswer(ServedAnswer* answer);
