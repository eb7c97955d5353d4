// The cover as a Vorbis comment: the carrier run, the FLAC picture block taken out of it,
// base64, the metadata file, and the extra input.
#include "cover_comment.h"

#include "child_process.h"
#include "pipe_io.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

namespace {

// Reading an attached picture and one audio frame takes milliseconds; this only ends a
// carrier run that hangs on a source that no longer answers.
constexpr std::int64_t kCarrierTimeLimitMs = 20000;
// FLAC's metadata block types: the stream information that comes first, and the picture.
constexpr unsigned char kFlacPictureBlock = 6;
constexpr std::size_t kFlacBlockHeader = 4; // last-block flag and type, 24-bit length

std::int64_t nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Runs a program to its end (ended by force after the time limit), its output read and
// only its last line kept. The exit status, or -1 when it could not run or was ended.
int runQuietly(const std::vector<std::string>& arguments, std::string* lastLine) {
    StartedChild child{};
    if (const int error = startProgram(arguments, &child)) {
        *lastLine = "could not start " + arguments[0] + ": " + startErrorText(error);
        return -1;
    }
    const std::int64_t deadline = nowMs() + kCarrierTimeLimitMs;
    std::string output;
    bool forced = false;
    while (child.outputRead != kNoPipe || waitChild(child.process, 10) == 0) {
        int waiting = 0, got = 0;
        char buffer[4096];
        if (child.outputRead != kNoPipe) {
            if (pipeBytesWaiting(child.outputRead, &waiting) != PipeResult::Ok)
                closePipe(&child.outputRead);
            else if (waiting > 0 &&
                     readPipe(child.outputRead, buffer, std::min<int>(waiting, sizeof buffer),
                              &got) == PipeResult::Ok)
                output.append(buffer, static_cast<std::size_t>(got));
            else
                waitForPipes(&child.outputRead, 1, 100);
        }
        if (!forced && nowMs() > deadline) {
            forceChildEnd(&child, true);
            forced = true;
        }
    }
    closePipe(&child.inputWrite);
    const ExitStatus status = childExitStatus(child.process);
    closeChild(&child.process);
    const std::size_t end = output.find_last_not_of("\r\n");
    const std::size_t start = end == std::string::npos ? 0 : output.find_last_of("\r\n", end);
    *lastLine = end == std::string::npos
                    ? std::string()
                    : output.substr(start == std::string::npos ? 0 : start + 1,
                                    end - (start == std::string::npos ? 0 : start + 1) + 1);
    if (forced)
        *lastLine = "the source's cover was not read within " +
                    std::to_string(kCarrierTimeLimitMs / 1000) + " s";
    return forced || status.bySignal ? -1 : status.code;
}

std::string readWhole(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

} // namespace

TemporaryFolder::TemporaryFolder() {
    std::error_code error;
    const std::filesystem::path base = std::filesystem::temp_directory_path(error);
    if (error)
        return;
    // A folder only we made: create_directory fails on a name that is taken.
    for (int n = 0; n < 100; ++n) {
        const std::filesystem::path candidate =
            base / ("nemarro-cv-" + std::to_string(getpid()) + "-" + std::to_string(n));
        if (std::filesystem::create_directory(candidate, error)) {
            m_path = candidate;
            return;
        }
    }
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;
    if (!m_path.empty())
        std::filesystem::remove_all(m_path, ignored);
}

std::vector<std::string> coverCarrierArguments(const std::string& source,
                                               const std::string& carrier) {
    // As for the containers that hold a picture: the first audio stream and every video
    // stream but moving ones (V), which leaves exactly the attached pictures.
    return {"-hide_banner", "-v",   "error", "-nostdin", "-i",   source, "-map", "0:a:0",
            "-map",         "0:v?", "-map",  "-0:V?",    "-c:v", "copy", "-c:a", "flac",
            "-frames:a",    "1",    "-f",    "flac",     "-y",   carrier};
}

std::string flacPictureBlock(std::string_view flac) {
    if (flac.substr(0, 4) != "fLaC")
        return {};
    for (std::size_t at = 4; at + kFlacBlockHeader <= flac.size();) {
        const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(flac[at + i]); };
        const bool last = (byte(0) & 0x80) != 0;
        const std::size_t length =
            (std::size_t{byte(1)} << 16) | (std::size_t{byte(2)} << 8) | byte(3);
        if (length > flac.size() - at - kFlacBlockHeader)
            return {}; // cut short
        if ((byte(0) & 0x7f) == kFlacPictureBlock)
            return std::string(flac.substr(at + kFlacBlockHeader, length));
        if (last)
            return {};
        at += kFlacBlockHeader + length;
    }
    return {};
}

std::string base64(std::string_view bytes) {
    static constexpr char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t group = 0;
        for (std::size_t k = 0; k < 3; ++k)
            group = (group << 8) | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
        for (std::size_t k = 0; k < 4; ++k)
            text.push_back(k <= n ? kDigits[(group >> (18 - 6 * k)) & 0x3f] : '=');
    }
    return text;
}

std::string pictureCommentMetadata(std::string_view pictureBlock) {
    std::string text = ";FFMETADATA1\nMETADATA_BLOCK_PICTURE=";
    // The format escapes '=', ';', '#', '\' and line breaks; of these base64 has only '='.
    for (const char c : base64(pictureBlock)) {
        if (c == '=')
            text.push_back('\\');
        text.push_back(c);
    }
    return text + "\n";
}

void addCommentInput(FfmpegCommand& command, const std::string& metadataPath) {
    std::vector<std::string>& arguments = command.arguments;
    auto input = std::find(arguments.begin(), arguments.end(), "-i");
    if (input == arguments.end() || std::next(input) == arguments.end())
        return;
    arguments.insert(std::next(input, 2), {"-f", "ffmetadata", "-i", metadataPath, "-map_metadata",
                                           "0", "-map_metadata", "1"});
}

std::string carryCoverAsComment(const std::string& ffmpeg, const TemporaryFolder& folder,
                                FfmpegCommand& command) {
    if (folder.path().empty())
        return "the source's cover was not kept: no temporary folder could be made";
    const std::filesystem::path carrier = folder.path() / "cover.flac";
    std::vector<std::string> arguments{ffmpeg};
    const std::vector<std::string> rest =
        coverCarrierArguments(command.coverSource, carrier.string());
    arguments.insert(arguments.end(), rest.begin(), rest.end());
    std::string lastLine;
    if (runQuietly(arguments, &lastLine) != 0)
        return "the source's cover was not kept: " +
               (lastLine.empty() ? std::string("ffmpeg could not read it") : lastLine);
    const std::string block = flacPictureBlock(readWhole(carrier));
    if (block.empty())
        return {}; // the source has no cover
    const std::filesystem::path metadata = folder.path() / "cover.txt";
    std::ofstream file(metadata, std::ios::binary);
    file << pictureCommentMetadata(block);
    file.close();
    if (!file)
        return "the source's cover was not kept: its comment could not be written";
    addCommentInput(command, metadata.string());
    return {};
}
