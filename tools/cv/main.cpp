// cv.dat, the encoder front end: runs the system's ffmpeg with the legacy argument list
// translated, passes its output on with every progress clock turned into seconds, and
// passes stop requests on.
#include "argument_translation.h"
#include "child_process.h"
#include "finish_watch.h"
#include "output_file_guard.h"
#include "pipe_io.h"
#include "program_lookup.h"
#include "progress_rewriter.h"
#include "standard_streams.h"
#include "stop_requests.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Everything goes to standard error, where ffmpeg writes its own report.
class Report {
public:
    // False when the text could not be passed on: whoever read our reports is gone.
    bool write(const std::string& text) {
        if (!text.empty())
            m_lastByte = text.back();
        return writeStandardError(text.data(), text.size());
    }
    // One line of our own, started on a fresh line.
    void line(const std::string& text) { write((m_lastByte == '\n' ? "" : "\n") + text + "\n"); }

private:
    char m_lastByte = '\n';
};

std::int64_t nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// How often a finishing ffmpeg's output file is looked at.
constexpr std::int64_t kFileLookMs = 500;

// Runs ffmpeg to its end. Its input gets what ours brings; when ours ends, or its output
// can no longer be passed on, it is asked to finish with "q", as a stop request would.
ExitStatus run(StartedChild& ffmpeg, const std::string& outputPath, ProgressRewriter& rewriter,
               Report& report) {
    PipeHandle input = watchableStandardInput();
    FinishWatch watch;
    const auto quit = [&] {
        int written = 0;
        if (!watch.started())
            writePipe(ffmpeg.inputWrite, "q\n", 2, &written);
        watch.start(nowMs());
    };
    std::int64_t nextFileLook = 0;
    char buffer[65536];
    while (ffmpeg.outputRead != kNoPipe || waitChild(ffmpeg.process, 0) == 0) {
        if (const int request = takeStopRequest())
            passStopRequestOn(&ffmpeg, request);
        int waiting = 0, got = 0;
        const PipeResult output = pipeBytesWaiting(ffmpeg.outputRead, &waiting);
        if (output != PipeResult::Ok)
            closePipe(&ffmpeg.outputRead); // every writer is gone: it has ended or is ending
        else if (waiting > 0 &&
                 readPipe(ffmpeg.outputRead, buffer, std::min<int>(waiting, sizeof buffer), &got) ==
                     PipeResult::Ok) {
            std::string text;
            rewriter.feed(buffer, static_cast<std::size_t>(got), text);
            if (!report.write(text))
                quit(); // nobody reads what ffmpeg reports any more
        }
        int fromInput = 0;
        if (input != kNoPipe && pipeBytesWaiting(input, &waiting) != PipeResult::Ok) {
            input = kNoPipe; // whoever started us is gone
            quit();
        } else if (input != kNoPipe && waiting > 0 &&
                   readPipe(input, buffer, std::min<int>(waiting, sizeof buffer), &fromInput) ==
                       PipeResult::Ok) {
            int written = 0;
            writePipe(ffmpeg.inputWrite, buffer, fromInput, &written);
            if (std::string_view(buffer, static_cast<std::size_t>(fromInput)).find('q') !=
                std::string_view::npos)
                watch.start(nowMs());
        }
        const std::int64_t now = nowMs();
        if (watch.started() && (got > 0 || now >= nextFileLook)) {
            std::error_code sizeError, timeError;
            const auto size = std::filesystem::file_size(outputPath, sizeError);
            const auto time = std::filesystem::last_write_time(outputPath, timeError);
            watch.observe(now, got > 0, sizeError ? -1 : static_cast<std::int64_t>(size),
                          timeError ? -1
                                    : static_cast<std::int64_t>(time.time_since_epoch().count()));
            nextFileLook = now + kFileLookMs;
        }
        const FinishWatch::Force force = watch.due(now);
        if (force != FinishWatch::Force::None)
            forceChildEnd(&ffmpeg, force == FinishWatch::Force::Hard);
        if (ffmpeg.outputRead == kNoPipe)
            waitChild(ffmpeg.process, 10); // its output is closed: only its end is awaited
        else if (got == 0 && fromInput == 0) {
            const PipeHandle watched[] = {ffmpeg.outputRead, input};
            waitForPipes(watched, 2, 100);
        }
    }
    closePipe(&ffmpeg.inputWrite);
    const ExitStatus status = childExitStatus(ffmpeg.process);
    closeChild(&ffmpeg.process);
    return status.code < 0 ? ExitStatus{1, false} : status; // an unknown end is no success
}

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
    const std::string program = findProgramOnPath("ffmpeg");
    if (program.empty()) {
        report.line(std::string("cv.dat: ffmpeg was not found ") +
                    (kProgramLookupTriesOwnFolder ? "beside cv.dat or on PATH" : "on PATH") +
                    "; install ffmpeg to convert files");
        return 1;
    }

    OutputFileGuard guard(command.outputPath);
    std::vector<std::string> arguments{program};
    arguments.insert(arguments.end(), command.arguments.begin(), command.arguments.end());
    watchStopRequests(); // before the start: a request meanwhile must not orphan ffmpeg
    StartedChild ffmpeg{};
    if (const int error = startProgram(arguments, &ffmpeg)) {
        report.line("cv.dat: could not start " + program + ": " + startErrorText(error));
        return 1;
    }
    ProgressRewriter rewriter;
    const ExitStatus status = run(ffmpeg, command.outputPath, rewriter, report);
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
