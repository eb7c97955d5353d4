// Probing one added file with pb.dat for its duration, and adding it as a job.
#include "media_probe.h"

#include "bounded_text.h"
#include "catalogue.h"
#include "command_line_split.h"
#include "job_list.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

MediaInfo g_mediaInfo = {};
const ToolHandlers kProbeHandlers = {probePrepare, probeOnOutput, probeFinish};
ToolProcess g_probeProcess = {"", "", "", kNoProcess, 0, kNoPipe, kNoPipe,
                              &g_mediaInfo, &kProbeHandlers, kExitUnknown, false};

namespace {
constexpr int32_t kFirstOutputCapacity = 1024;
// A prober's report is a few kilobytes; output beyond this is not kept.
constexpr int32_t kMaxOutputText = 16 << 20;

void releaseOutput(MediaInfo* info) {
    std::free(info->outputText);
    info->outputText = nullptr;
    info->outputCapacity = 0;
    info->outputLength = 0;
}
} // namespace

int probePrepare(ToolProcess* tool) {
    auto* info = static_cast<MediaInfo*>(tool->context);
    // The probe line must fit kProbeLineSize, with both paths quoted for the platform.
    char line[kProbeLineSize] = "";
    if (appendQuotedArgument(line, sizeof line, tool->programPath) != 0 ||
        appendText(line, sizeof line, " -show_format -show_streams %s%s",
                   (info->asked & kProbeTags) != 0 ? "-show_tags " : "",
                   (info->asked & kProbeFingerprints) != 0 ? "-show_fingerprints " : "") != 0 ||
        appendQuotedArgument(line, sizeof line, info->sourcePath) != 0) {
        return kProbeRefused;
    }
    std::memcpy(tool->commandLine, line, sizeof line);
    releaseOutput(info);
    info->outputText = static_cast<char*>(std::malloc(kFirstOutputCapacity));
    if (info->outputText == nullptr) {
        return kProbeRefused;
    }
    info->outputText[0] = '\0';
    info->outputCapacity = kFirstOutputCapacity;
    return 0;
}

void probeOnOutput(ToolProcess* tool) {
    auto* info = static_cast<MediaInfo*>(tool->context);
    if (info->outputText == nullptr) {
        return;
    }
    int32_t n = static_cast<int32_t>(std::strlen(tool->chunk));
    int32_t length = info->outputLength + n;
    if (length > kMaxOutputText) {
        return;
    }
    if (length >= info->outputCapacity) {
        char* grown = static_cast<char*>(std::realloc(info->outputText, static_cast<std::size_t>(length) + 1));
        if (grown == nullptr) {
            return;
        }
        info->outputText = grown;
        info->outputCapacity = length + 1;
    }
    std::memcpy(info->outputText + info->outputLength, tool->chunk, static_cast<std::size_t>(n) + 1);
    info->outputLength = length;
}

void probeFinish(ToolProcess* tool) {
    auto* info = static_cast<MediaInfo*>(tool->context);
    if (info->outputText == nullptr) {
        return;
    }
    if (info->outputLength != 0) {
        // Only the format section's duration counts; streams carry their own before it.
        const char* format = findAtLineStart(info->outputText, "[FORMAT]");
        const char* duration = format == nullptr ? nullptr : findAtLineStart(format, "duration=");
        if (duration != nullptr) {
            info->duration = readLeadingNumber(duration + 9);
        }
        // The sections before the format's are the streams; a tag's value cannot pose as
        // the key, which only counts at the start of a line.
        const char* audio = findAtLineStart(info->outputText, "codec_type=audio");
        info->hasAudio = audio != nullptr && (format == nullptr || audio < format);
        if (info->asked != 0) {
            readMediaDetails(info->outputText, &info->details);
        }
    }
    releaseOutput(info);
}

int startProbe(ToolProcess* tool, MediaInfo* info, const char* path, ProbeServer* server) {
    releaseOutput(info);
    const unsigned asked = info->asked;
    *info = MediaInfo{};
    info->asked = asked;
    // A path no job could hold (an extension longer than its field, say) is not worth
    // a probe: it would be dropped afterwards all the same.
    if (!jobFieldsHold(path) || copyText(info->sourcePath, sizeof info->sourcePath, path) != 0 ||
        tool->handlers->prepare(tool) != 0) {
        releaseOutput(info);
        return kProbeRefused;
    }
    if (startServedTool(server, tool) == 0) {
        releaseOutput(info);
        clearToolRun(tool);
        return kProbeNotStarted;
    }
    return kProbeStarted;
}

int finishProbe(ToolProcess* tool, MediaInfo* info) {
    tool->handlers->finish(tool);
    clearToolRun(tool);
    // "N/A", a negative or a non-finite value is no usable duration either.
    if (!(info->duration > 0.0) || !std::isfinite(info->duration)) {
        return kProbeNoDuration;
    }
    return kProbeReadable;
}

int probeLength(const char* programPath, const char* path, double* seconds) {
    ToolProcess tool;
    MediaInfo info{};
    tool.context = &info;
    tool.handlers = &kProbeHandlers;
    *seconds = 0.0;
    if (copyText(tool.programPath, sizeof tool.programPath, programPath) != 0) {
        return kProbeNotStarted;
    }
    const int started = startProbe(&tool, &info, path);
    if (started != kProbeStarted) {
        return started;
    }
    while (pollTool(&tool) == 0) {
    }
    const int result = finishProbe(&tool, &info);
    *seconds = info.duration;
    return result;
}

int addProbedJob(const char* path, double duration) {
    ConversionJob* job = createJob(path, duration, currentProfile);
    if (job == nullptr) {
        return kProbeRefused;
    }
    appendJob(job);
    return kProbeAdded;
}

int probeAndAddJob(const char* path) {
    ToolProcess* tool = &g_probeProcess;
    MediaInfo* info = &g_mediaInfo;
    int started = startProbe(tool, info, path);
    if (started != kProbeStarted) {
        return started;
    }
    while (pollTool(tool) == 0) {
    }
    if (finishProbe(tool, info) != kProbeReadable) {
        return kProbeNoDuration;
    }
    return addProbedJob(info->sourcePath, info->duration);
}
