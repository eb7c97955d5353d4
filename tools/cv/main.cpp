// cv.dat, the encoder front end: runs the system's ffmpeg with the legacy argument list
// translated, and passes its output on with every progress clock turned into seconds.
#include "argument_translation.h"
#include "child_runner.h"
#include "output_file_guard.h"
#include "program_lookup.h"
#include "progress_rewriter.h"
#include "standard_streams.h"

#include <string>
#include <vector>

namespace {

// Everything goes to standard error, where ffmpeg writes its own report.
class Report {
public:
    // False when the text could not be passed on: whoever read our reports is gone.
    bool write(const std::string& text) {
        if (!writeStandardError(text.data(), text.size()))
            return false;
        if (!text.empty())
            m_lastByte = text.back();
        return true;
    }
    // One line of our own, started on a fresh line.
    void line(const std::string& text) {
        write((m_lastByte == '\n' ? "" : "\n") + text + "\n");
    }

private:
    char m_lastByte = '\n';
};

} // namespace

int main(int argc, char** argv) {
    prepareStandardStreams();
    Report report;

    FfmpegCommand command;
    const std::string refusal =
        translateArguments(std::vector<std::string>(argv + 1, argv + argc), command);
    if (!refusal.empty()) {
        report.line("cv.dat: " + refusal);
        return 1;
    }
    for (const std::string& adjustment : command.adjustments)
        report.line("cv.dat: " + adjustment);
    const std::string ffmpeg = findProgramOnPath("ffmpeg");
    if (ffmpeg.empty()) {
        report.line(std::string("cv.dat: ffmpeg was not found ") + kProgramSearchPlaces +
                    "; install ffmpeg to convert files");
        return 1;
    }

    OutputFileGuard guard(command.outputPath);
    ProgressRewriter rewriter;
    std::vector<std::string> arguments{"ffmpeg"};
    arguments.insert(arguments.end(), command.arguments.begin(), command.arguments.end());

    ExitStatus status{1, false};
    std::string startError;
    {
        ChildRunner runner;
        startError = runner.run(
            ffmpeg, arguments,
            [&](const char* data, std::size_t size) {
                std::string text;
                rewriter.feed(data, size, text);
                return report.write(text);
            },
            status);
    }
    if (!startError.empty()) {
        report.line("cv.dat: could not start " + ffmpeg + ": " + startError);
        return 1;
    }
    std::string rest;
    rewriter.finish(rest);
    report.write(rest);

    int exitCode = status.code;
    if (status.bySignal) {
        exitCode = 128 + status.code;
        report.line("cv.dat: ffmpeg was ended by signal " + std::to_string(status.code));
    }
    if (exitCode == 0) {
        // ffmpeg follows its final position with summary lines, often in the same write;
        // repeating the position as the very last line lets a reader that looks only at
        // the last complete line see the end even of a conversion too short for any other
        // progress report.
        if (rewriter.hasTime())
            report.line("cv.dat: finished at time=" + rewriter.lastTime());
    } else if (guard.removeIfCreated()) {
        report.line("cv.dat: removed the incomplete output file " + command.outputPath);
    }
    return exitCode;
}
