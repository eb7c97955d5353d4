// The per-job note: which output lines explain a result, and the reasons a start fails.
#include "job_note.h"

#include "bounded_text.h"
#include "command_line_split.h"
#include "encoder_command_line.h"
#include "program_file.h"

#include <cstdio>
#include <cstring>
#include <system_error>

namespace {

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
    static const char* const kHeads[] = {
        "Input #",          "Output #", "Stream mapping", "Press [q]", "Conversion failed!",
        "Exiting normally", "size=",    "video:",         "frame="};
    if (*line == '\0' || *line == ' ' || *line == '\t' || std::strstr(line, "time=") != nullptr)
        return true;
    for (const char* head : kHeads)
        if (startsWith(line, head))
            return true;
    return false;
}

// The note's sentence for a verdict that no output line explains.
void describeVerdict(const JobVerdict& verdict, const char* programPath, char* line,
                     std::size_t size) {
    switch (verdict.outcome) {
    case JobOutcome::EncoderSignalled:
        formatText(line, size, "the encoder was ended by signal %d", int(verdict.status));
        break;
    case JobOutcome::EncoderFailed:
        formatText(line, size, "the encoder ended with exit status %d", int(verdict.status));
        break;
    case JobOutcome::Stopped:
    case JobOutcome::StoppedEarly: // the point is the decimal point in any locale
        formatText(line, size, "the encoder stopped at %.2f%% of the range", verdict.percent);
        break;
    case JobOutcome::OutputMissing:
        copyText(line, size, "the encoder wrote no output file, or an empty one");
        break;
    case JobOutcome::OutputNotPlaced:
        copyText(line, size, "the finished file could not be given its name, so it was not kept");
        break;
    case JobOutcome::CommandRefused:
        if (!commandLineCanCarry(verdict.job->sourcePath) ||
            !commandLineCanCarry(verdict.job->destinationFolder))
            copyText(line, size,
                     "refused: a path holds a double quote, which the "
                     "encoder's command line cannot carry");
        else
            copyText(line, size,
                     "refused: the output path or the encoder's command "
                     "line would be too long");
        break;
    case JobOutcome::NotStarted:
        if (programPath[0] == '\0') {
            copyText(line, size,
                     "the program's own folder was not found, so the "
                     "encoder cannot be started");
        } else {
            const ProgramFile state = programFileState(programPath);
            const char* what = state == ProgramFile::Missing       ? "is missing"
                               : state == ProgramFile::NotRunnable ? "is not executable"
                                                                   : "could not be started";
            std::snprintf(line, size, "the encoder %s %s", programPath, what);
        }
        break;
    case JobOutcome::FolderRefused: {
        char folder[kPathSize];
        if (verdict.status != 0)
            formatText(line, size, "the output folder cannot be made: %s",
                       std::system_category().message(verdict.status).c_str());
        else if (outputFolder(*verdict.job, folder) == kBuildDone)
            formatText(line, size, "the output folder refuses new files: %s", folder);
        else
            copyText(line, size, "the output folder refuses new files");
        break;
    }
    case JobOutcome::Converted:
        line[0] = '\0';
        break;
    }
}

} // namespace

void beginJobNote(ConversionJob* job, JobNoteReader* reader) {
    if (job != nullptr)
        job->note[0] = '\0';
    *reader = {};
}

void readJobNoteLine(ConversionJob* job, JobNoteReader* reader, const char* text,
                     std::size_t length) {
    char line[kNoteLineSize];
    if (length >= sizeof line)
        length = sizeof line - 1; // long enough to explain; the rest is cut
    std::memcpy(line, text, length);
    line[length] = '\0';
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
}

void finishJobNote(const JobVerdict& verdict, const JobNoteReader* reader,
                   const char* programPath) {
    ConversionJob* job = verdict.job;
    if (job == nullptr || verdict.outcome == JobOutcome::Converted)
        return;
    const bool started = verdict.outcome != JobOutcome::CommandRefused &&
                         verdict.outcome != JobOutcome::NotStarted &&
                         verdict.outcome != JobOutcome::FolderRefused;
    char line[kJobNoteSize]; // addNoteLine cuts it, with "...", when it is longer
    if (!started)
        job->note[0] = '\0'; // nothing ran: no earlier line belongs to this start
    if (started && reader != nullptr && reader->lastDetail[0] != '\0')
        copyText(line, sizeof line, reader->lastDetail);
    else
        describeVerdict(verdict, programPath, line, sizeof line);
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
