// cv.dat, the encoder front end: runs the system's ffmpeg with the legacy argument list
// translated, and passes its output on with every progress clock turned into seconds.
#include "argument_translation.h"
#include "child_runner.h"
#include "output_file_guard.h"
#include "program_lookup.h"
#include "progress_rewriter.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// Everything goes to standard error, where ffmpeg writes its own report.
class Report {
public:
    // False when the text could not be passed on: whoever read our reports is gone.
    bool write(const std::string& text) {
        const char* data = text.data();
        std::size_t left = text.size();
        while (left > 0) {
            const ssize_t written = ::write(STDERR_FILENO, data, left);
            if (written > 0) {
                data += written;
                left -= static_cast<std::size_t>(written);
            } else if (written < 0 && errno == EAGAIN) {
                pollfd wait = {STDERR_FILENO, POLLOUT, 0};
                poll(&wait, 1, 100);
            } else if (written < 0 && errno == EINTR) {
                continue;
            } else {
                return false;
            }
        }
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

// A closed standard descriptor would be reused by the next pipe and then closed under us.
void openStandardDescriptors() {
    for (int fd = 0; fd <= 2; ++fd)
        if (fcntl(fd, F_GETFD) < 0)
            open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
}

} // namespace

int main(int argc, char** argv) {
    openStandardDescriptors();
    // A reader that went away is seen as a failed write, which stops the conversion
    // properly, rather than as a signal that would leave ffmpeg running on its own.
    std::signal(SIGPIPE, SIG_IGN);
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
        report.line("cv.dat: ffmpeg was not found on PATH; install ffmpeg to convert files");
        return 1;
    }

    OutputFileGuard guard(command.outputPath);
    ProgressRewriter rewriter;
    std::vector<std::string> arguments{"ffmpeg"};
    arguments.insert(arguments.end(), command.arguments.begin(), command.arguments.end());

    int status = 0;
    int startError = 0;
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
    if (startError != 0) {
        report.line("cv.dat: could not start " + ffmpeg + ": " + std::strerror(startError));
        return 1;
    }
    std::string rest;
    rewriter.finish(rest);
    report.write(rest);

    int exitCode = 1;
    if (WIFEXITED(status)) {
        exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        exitCode = 128 + WTERMSIG(status);
        report.line("cv.dat: ffmpeg was ended by signal " + std::to_string(WTERMSIG(status)));
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
