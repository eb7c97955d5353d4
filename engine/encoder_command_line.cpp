// The encoder's command line for one job. Every part is composed into its fixed buffer;
// a part that does not fit, or a path the platform cannot quote, refuses the whole line.
#include "encoder_command_line.h"

#include "bounded_text.h"
#include "command_line_split.h"
#include "output_name.h"
#include "path_separator.h"

#include <climits>
#include <cstring>

namespace {
constexpr std::size_t kRangePartSize = 64;
#ifndef _WIN32
// Here the line holds the longest program path, source, output path and option parts.
static_assert(kCommandLineSize >= 3 * kPathSize + 2 * kArgsSize + 2 * kRangePartSize + 32);
#endif

bool isAuto(const char* entry) {
    return std::strcmp(entry, "Auto") == 0;
}

// Appends "<option> <entry> " unless the entry is "Auto"; a missing entry refuses.
int appendOption(char* args, const char* option, ChoiceList list, int index) {
    const char* entry = choiceListEntry(list, index);
    if (entry == nullptr) {
        return kBuildRefused;
    }
    if (isAuto(entry)) {
        return kBuildDone;
    }
    return appendText(args, kArgsSize, "%s %s ", option, entry) == 0 ? kBuildDone : kBuildRefused;
}

int refuse(char* args) {
    args[0] = '\0';
    return kBuildRefused;
}
} // namespace

int buildAudioArgs(const AudioCodecSettings& codec, char* args) {
    args[0] = '\0';
    if (codec.codecName == nullptr ||
        appendText(args, kArgsSize, "-acodec %s ", codec.codecName) != 0 ||
        appendOption(args, "-ab", codec.bitRates, codec.bitRateIndex) != kBuildDone ||
        appendOption(args, "-ar", codec.sampleRates, codec.sampleRateIndex) != kBuildDone) {
        return refuse(args);
    }
    const char* channels = choiceListEntry(codec.channels, codec.channelsIndex);
    if (channels == nullptr) {
        return refuse(args);
    }
    // Compared byte for byte; any other text leaves the channel count to the encoder.
    const char* option = nullptr;
    if (std::strcmp(channels, "Stereo") == 0) {
        option = "-ac 2 ";
    } else if (std::strcmp(channels, "Mono") == 0) {
        option = "-ac 1 ";
    } else if (std::strcmp(channels, "5.1") == 0) {
        option = "-ac 5.1 ";
    }
    if (option != nullptr && appendText(args, kArgsSize, "%s", option) != 0) {
        return refuse(args);
    }
    return kBuildDone;
}

int buildVideoArgs(const VideoCodecSettings& codec, char* args) {
    args[0] = '\0';
    if (codec.codecName == nullptr ||
        appendText(args, kArgsSize, "-vcodec %s ", codec.codecName) != 0 ||
        appendOption(args, "-s", codec.frameSizes, codec.frameSizeIndex) != kBuildDone ||
        appendOption(args, "-b", codec.bitRates, codec.bitRateIndex) != kBuildDone ||
        appendOption(args, "-r", codec.frameRates, codec.frameRateIndex) != kBuildDone ||
        appendOption(args, "-aspect", codec.aspectRatios, codec.aspectRatioIndex) != kBuildDone) {
        return refuse(args);
    }
    return kBuildDone;
}

int outputFolder(const ConversionJob& job, char* folder) {
    int fits =
        job.destinationFolder[0] != '\0'
            ? formatText(folder, kPathSize, "%s" NEMARRO_PATH_SEPARATOR, job.destinationFolder)
            : formatText(folder, kPathSize, "%s%s", job.sourceDrive, job.sourceFolder);
    return fits == 0 ? kBuildDone : kBuildRefused;
}

const char* outputStem(const ConversionJob& job) {
    return job.namedBaseName[0] != '\0' ? job.namedBaseName : job.sourceBaseName;
}

int uniqueOutputName(char* baseName, char* folder, const char* extension,
                     const OutputClaims* claims) {
    std::size_t folderLength = std::strlen(folder);
    // An empty folder means the current one (a relative source path); a separator
    // would turn it into the root.
    if (folderLength > 0 && !isPathSeparator(folder[folderLength - 1]) &&
        appendText(folder, kPathSize, "%c", kPathSeparator) != 0) {
        return kBuildRefused;
    }
    char candidate[kPathSize];
    if (composeOutputPath(candidate, folder, baseName, extension) != 0) {
        return kBuildRefused;
    }
    if (!outputPathTaken(claims, candidate)) {
        return kBuildDone;
    }
    char counted[kPathSize];
    for (int counter = 0; counter < INT_MAX; ++counter) {
        if (formatText(counted, sizeof counted, "%s(%d)", baseName, counter) != 0 ||
            composeOutputPath(candidate, folder, counted, extension) != 0) {
            return kBuildRefused; // longer counters would not fit either
        }
        if (!outputPathTaken(claims, candidate)) {
            // Fits: it is shorter than the candidate that just fitted.
            return copyText(baseName, kPathSize, counted) == 0 ? kBuildDone : kBuildRefused;
        }
    }
    return kBuildRefused;
}

int buildOutputPath(ConversionJob* job, char* path, const OutputClaims* claims) {
    path[0] = '\0';
    if (job->profile == nullptr) {
        return kBuildRefused;
    }
    const char* extension = selectedExtension(*job->profile);
    char folder[kPathSize];
    char baseName[kPathSize];
    if (extension == nullptr || outputFolder(*job, folder) != kBuildDone ||
        copyText(baseName, sizeof baseName, outputStem(*job)) != 0 ||
        uniqueOutputName(baseName, folder, extension, claims) != kBuildDone ||
        composeOutputPath(path, folder, baseName, extension) != 0 ||
        setJobOutputBaseName(job, baseName) != 0) {
        path[0] = '\0';
        return kBuildRefused;
    }
    return kBuildDone;
}

int lastOutputPath(const ConversionJob& job, char* path) {
    path[0] = '\0';
    const char* extension = job.profile == nullptr ? nullptr : selectedExtension(*job.profile);
    char folder[kPathSize];
    if (extension == nullptr || job.outputBaseName[0] == '\0' ||
        outputFolder(job, folder) != kBuildDone) {
        return kBuildRefused;
    }
    return composeOutputPath(path, folder, job.outputBaseName, extension) == 0 ? kBuildDone
                                                                               : kBuildRefused;
}

int sourceOutputPath(const ConversionJob& job, char* path) {
    path[0] = '\0';
    const char* extension = job.profile == nullptr ? nullptr : selectedExtension(*job.profile);
    char folder[kPathSize];
    if (extension == nullptr || outputFolder(job, folder) != kBuildDone) {
        return kBuildRefused;
    }
    return composeOutputPath(path, folder, outputStem(job), extension) == 0 ? kBuildDone
                                                                            : kBuildRefused;
}

namespace {
// The length option (and " -vn " for an audio-only profile) for the job's range.
int buildDurationPart(const ConversionJob& job, char* part) {
    part[0] = '\0';
    double duration = job.duration;
    double start = job.trimStart;
    double end = job.trimEnd;
    if (end < duration) {
        // A range that ends before it starts names nothing to convert.
        if (!(end > start) || formatText(part, kRangePartSize, " -t %f ", end - start) != 0) {
            return kBuildRefused;
        }
    }
    if (!hasVideo(*job.profile) && appendText(part, kRangePartSize, " -vn ") != 0) {
        return kBuildRefused;
    }
    return kBuildDone;
}
} // namespace

namespace {
// The whole line for `job` writing to `outputPath` (nullptr: the naming rule's path, with
// `claims`). The one place the encoder's line is composed.
int composeEncoderLine(const char* programPath, ConversionJob* job, const char* outputPath,
                       const OutputClaims* claims, char* commandLine) {
    if (job == nullptr) {
        return kBuildNoJob;
    }
    const ConversionProfile* profile = job->profile;
    if (profile == nullptr || profile->audioCodecIndex < 0 ||
        profile->audioCodecIndex >= profile->audioCodecCount ||
        profile->audioCodecCount > kMaxAudioCodecs) {
        return kBuildRefused;
    }
    char audioPart[kArgsSize];
    char videoPart[kArgsSize] = "";
    char seekPart[kRangePartSize] = "";
    char durationPart[kRangePartSize];
    char namedPath[kPathSize];
    if (buildAudioArgs(selectedAudioCodec(*profile), audioPart) != kBuildDone) {
        return kBuildRefused;
    }
    if (hasVideo(*profile)) {
        if (profile->videoCodecIndex < 0 || profile->videoCodecIndex >= profile->videoCodecCount ||
            profile->videoCodecCount > kMaxVideoCodecs ||
            buildVideoArgs(selectedVideoCodec(*profile), videoPart) != kBuildDone) {
            return kBuildRefused;
        }
    }
    if (job->trimStart != 0.0 &&
        formatText(seekPart, sizeof seekPart, " -ss %f ", job->trimStart) != 0) {
        return kBuildRefused;
    }
    if (buildDurationPart(*job, durationPart) != kBuildDone ||
        (outputPath == nullptr && buildOutputPath(job, namedPath, claims) != kBuildDone)) {
        return kBuildRefused;
    }
    if (outputPath == nullptr) {
        outputPath = namedPath;
    }
    // The paths are quoted (a double quote inside escaped where the platform can carry
    // one); the option parts stand bare, so a double quote there would regroup the line.
    for (const char* part : {seekPart, durationPart, videoPart, audioPart}) {
        if (hasDoubleQuote(part)) {
            return kBuildRefused;
        }
    }
    char line[kCommandLineSize] = "";
    if (appendQuotedArgument(line, sizeof line, programPath) != 0 ||
        appendText(line, sizeof line, " %s-i ", seekPart) != 0 ||
        appendQuotedArgument(line, sizeof line, job->sourcePath) != 0 ||
        appendText(line, sizeof line, " %s-y %s%s", durationPart, videoPart, audioPart) != 0 ||
        appendQuotedArgument(line, sizeof line, outputPath) != 0) {
        return kBuildRefused;
    }
    std::memcpy(commandLine, line, kCommandLineSize);
    return kBuildDone;
}
} // namespace

int buildEncoderCommandLine(const char* programPath, ConversionJob* job, char* commandLine,
                            const OutputClaims* claims) {
    return composeEncoderLine(programPath, job, nullptr, claims, commandLine);
}

int buildEncoderCommandLineTo(const char* programPath, ConversionJob* job, const char* outputPath,
                              char* commandLine) {
    return composeEncoderLine(programPath, job, outputPath, nullptr, commandLine);
}

int buildRetagCommandLine(const char* programPath, const char* soundPath, const char* tagsPath,
                          const char* newPath, char* commandLine) {
    char line[kCommandLineSize] = "";
    if (appendQuotedArgument(line, sizeof line, programPath) != 0 ||
        appendText(line, sizeof line, " -i ") != 0 ||
        appendQuotedArgument(line, sizeof line, soundPath) != 0 ||
        appendText(line, sizeof line, " -i ") != 0 ||
        appendQuotedArgument(line, sizeof line, tagsPath) != 0 ||
        appendText(line, sizeof line, "  -vn -y -acodec copy ") != 0 ||
        appendQuotedArgument(line, sizeof line, newPath) != 0) {
        return kBuildRefused;
    }
    std::memcpy(commandLine, line, kCommandLineSize);
    return kBuildDone;
}
