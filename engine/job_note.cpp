// The per-job note: which output lines explain a result, and the reasons a start fails.
#include "job_note.h"

#include "bounded_text.h"
#include "program_file.h"

#include <cstdio>
#include <cstring>

JobNoteReader g_encoderNoteReader = {};

namespace {

// The share of the range a clean run must reach to count as converted.
constexpr double kNearlyWhole = 88.0;

bool startsWith(const char* text, const char* prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

// The encoder's lines that say nothing about the result: the repeated final position
// and the removal of a failed run's file, which every failure has.
bool isRoutineEncoderLine(const char* text) {
    return startsWith(text, "finished at time=") || startsWith(text, "removed the incomplete");
}

// Lines of ffmpeg's report that never explain a failure: progress, the stream listing
// (indented), the section heads, the summary and its generic last words.
bool isReportLine(const char* line) {
    static const char* const kHeads[] = {"Input #",  "Output #",           "Stream mapping",
                                         "Press [q]", "Conversion failed!", "Exiting normally",
                                         "size=",     "video:",             "frame="};
    if (*line == '\0' || *line == ' ' || *line == '\t' || std::strstr(line, "time=") != nullptr)
        return true;
    for (const char* head : kHeads)
        if (startsWith(line, head))
            return true;
    return false;
}

void takeLine(ConversionJob* job, JobNoteReader* reader) {
    reader->line[reader->length] = '\0';
    const char* line = reader->line;
    if (startsWith(line, kEncoderLinePrefix)) {
        const char* own = line + sizeof kEncoderLinePrefix - 1;
        if (!isRoutineEncoderLine(own))
            addNoteLine(job, own);
    } else if (!isReportLine(line)) {
        // ffmpeg follows the encoder's own complaint ("[libopus @ 0x...] Specified sample
        // rate ... is not supported") with a generic one; the specific line is kept.
        if (!(startsWith(line, "Error initializing output stream") && reader->lastDetail[0] == '['))
            copyText(reader->lastDetail, sizeof reader->lastDetail, line);
    }
    reader->length = 0;
}

} // namespace

void beginJobNote(ConversionJob* job, JobNoteReader* reader) {
    if (job != nullptr)
        job->note[0] = '\0';
    *reader = {};
}

void readJobNoteOutput(ConversionJob* job, JobNoteReader* reader, const char* chunk) {
    for (const char* at = chunk; *at != '\0'; ++at) {
        if (*at == '\r' || *at == '\n') {
            takeLine(job, reader);
        } else if (reader->length + 1 < sizeof reader->line) {
            reader->line[reader->length++] = *at;
        }
    }
}

void finishJobNote(ConversionJob* job, JobNoteReader* reader, const ToolProcess* tool,
                   double percent, bool succeeded) {
    if (reader->length > 0)
        takeLine(job, reader);
    if (job == nullptr || succeeded)
        return;
    char line[kNoteLineSize];
    if (reader->lastDetail[0] != '\0')
        copyText(line, sizeof line, reader->lastDetail);
    else if (tool->endedBySignal)
        std::snprintf(line, sizeof line, "the encoder was ended by signal %d", int(tool->exitStatus));
    else if (tool->exitStatus != 0)
        std::snprintf(line, sizeof line, "the encoder ended with exit status %d", int(tool->exitStatus));
    else if (percent < kNearlyWhole)
        std::snprintf(line, sizeof line, "the encoder stopped at %.1f%% of the range", percent);
    else // a clean run over the range that still failed left no usable file
        copyText(line, sizeof line, "the encoder wrote no output file, or an empty one");
    addNoteLine(job, line);
}

void noteStartFailure(ConversionJob* job, StartFailure failure, const char* programPath) {
    if (job == nullptr)
        return;
    job->note[0] = '\0';
    char line[kJobNoteSize];
    if (failure == StartFailure::CommandRefused) {
        if (hasDoubleQuote(job->sourcePath) || hasDoubleQuote(job->destinationFolder))
            copyText(line, sizeof line, "refused: a path holds a double quote, which the "
                                        "encoder's command line cannot carry");
        else
            copyText(line, sizeof line, "refused: the output path or the encoder's command "
                                        "line would be too long");
    } else if (programPath[0] == '\0') {
        copyText(line, sizeof line, "the program's own folder was not found, so the encoder "
                                    "cannot be started");
    } else {
        const ProgramFile state = programFileState(programPath);
        const char* what = state == ProgramFile::Missing       ? "is missing"
                           : state == ProgramFile::NotRunnable ? "is not executable"
                                                               : "could not be started";
        std::snprintf(line, sizeof line, "the encoder %s %s", programPath, what);
    }
    addNoteLine(job, line);
}

void addNoteLine(ConversionJob* job, const char* line) {
    if (job == nullptr)
        return;
    char cut[kNoteLineSize];
    std::snprintf(cut, sizeof cut, "%s", line);
    if (std::strlen(line) >= sizeof cut)
        std::memcpy(cut + sizeof cut - 4, "...", 4);
    appendText(job->note, sizeof job->note, "%s%s", job->note[0] != '\0' ? "\n" : "", cut);
}
