// Job records: creation with the start values, the output size estimate, the texts of
// a job's row and the clock text.
#include "conversion_job.h"

#include "bit_rate.h"
#include "bounded_text.h"
#include "classic_numbers.h"
#include "job_row_view.h"
#include "path_split.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <initializer_list>
#include <new>

namespace {
// A path split into the job's parts, checked against the sizes of their fields.
struct SourceParts {
    char drive[kDriveSize];
    char folder[kPathSize];
    char baseName[kPathSize];
    char extension[kExtensionSize];
};

int splitSource(const char* sourcePath, SourceParts* parts) {
    if (std::strlen(sourcePath) >= kPathSize) {
        return -1;
    }
    return splitPath(sourcePath, parts->drive, sizeof parts->drive, parts->folder,
                     sizeof parts->folder, parts->baseName, sizeof parts->baseName,
                     parts->extension, sizeof parts->extension);
}

void releasePathText(const char* text) {
    if (text != kNoPath) {
        std::free(const_cast<char*>(text));
    }
}

// Puts a copy of `text` (the shared empty text when it is empty) into `field`.
int replacePathText(const char** field, const char* text) {
    std::size_t length = std::strlen(text);
    if (length >= kPathSize) {
        return -1;
    }
    const char* copy = kNoPath;
    if (length > 0) {
        char* allocated = static_cast<char*>(std::malloc(length + 1));
        if (allocated == nullptr) {
            return -1;
        }
        std::memcpy(allocated, text, length + 1);
        copy = allocated;
    }
    releasePathText(*field);
    *field = copy;
    return 0;
}
} // namespace

ConversionJob* createJob(const char* sourcePath, double duration, ConversionProfile* profile) {
    SourceParts parts;
    if (splitSource(sourcePath, &parts) != 0) {
        return nullptr;
    }
    ConversionJob* job = new (std::nothrow) ConversionJob{};
    if (job == nullptr) {
        return nullptr;
    }
    std::memcpy(job->sourceDrive, parts.drive, sizeof job->sourceDrive);
    std::memcpy(job->sourceExtension, parts.extension, sizeof job->sourceExtension);
    if (replacePathText(&job->sourcePath, sourcePath) != 0 ||
        replacePathText(&job->sourceFolder, parts.folder) != 0 ||
        replacePathText(&job->sourceBaseName, parts.baseName) != 0) {
        releaseJob(job);
        return nullptr;
    }
    job->duration = duration;
    job->trimStart = 0.0;
    job->trimEnd = duration;
    formatClock(duration, job->durationText);
    job->profile = profile;
    estimateOutputSize(job);
    return job;
}

bool jobFieldsHold(const char* sourcePath) {
    SourceParts parts;
    return splitSource(sourcePath, &parts) == 0;
}

void releaseJob(ConversionJob* job) {
    if (job == nullptr) {
        return;
    }
    for (const char* text : {job->sourcePath, job->sourceFolder, job->sourceBaseName,
                             job->outputBaseName, job->destinationFolder, job->namedBaseName}) {
        releasePathText(text);
    }
    delete job;
}

int setJobOutputBaseName(ConversionJob* job, const char* text) {
    return replacePathText(&job->outputBaseName, text);
}

int setJobDestination(ConversionJob* job, const char* text) {
    return replacePathText(&job->destinationFolder, text);
}

int setJobNamedBaseName(ConversionJob* job, const char* text) {
    return replacePathText(&job->namedBaseName, text);
}

namespace {
// A bit rate entry in bits per second ("6.7k" is 6700, LAME's "V2" its typical 190000);
// 0 for "Auto" and any text that is no bit rate.
double entryRate(const char* entry) {
    const double kilobits = typicalKilobits(entry);
    return kilobits > 0 ? kilobits * 1000.0 : 0.0;
}
} // namespace

void estimateOutputSize(ConversionJob* job) {
    if (job == nullptr) {
        return;
    }
    const ConversionProfile* profile = job->profile;
    if (profile == nullptr) {
        formatText(job->sizeText, sizeof job->sizeText, "? MB");
        return;
    }
    const AudioCodecSettings& audio = selectedAudioCodec(*profile);
    double totalRate = entryRate(choiceListEntry(audio.bitRates, audio.bitRateIndex));
    double videoRate = 0.0;
    if (hasVideo(*profile)) {
        const VideoCodecSettings& video = selectedVideoCodec(*profile);
        videoRate = entryRate(choiceListEntry(video.bitRates, video.bitRateIndex));
        totalRate += videoRate;
    }
    float megabytes = static_cast<float>((job->trimEnd - job->trimStart) * totalRate / 8388608.0);
    if (megabytes != 0.0f && (!hasVideo(*profile) || videoRate != 0.0)) {
        // A size too large for the field (over a petabyte) shows as unknown.
        if (formatText(job->sizeText, sizeof job->sizeText, "%.1fMB",
                       static_cast<double>(megabytes)) == 0) {
            return;
        }
    }
    formatText(job->sizeText, sizeof job->sizeText, "? MB");
}

void refreshJobRow(JobRowView* view, ConversionJob* job, ConversionProfile* profile) {
    if (job == nullptr) {
        return;
    }
    job->profile = profile;
    estimateOutputSize(job);
    if (view == nullptr) {
        return;
    }
    // Large enough for the longest base name and two clock texts.
    char fileName[kPathSize + 2 * kClockTextSize + 8];
    if (job->trimStart != 0.0 || job->trimEnd != job->duration) {
        char start[kClockTextSize];
        char end[kClockTextSize];
        formatClock(job->trimStart, start);
        formatClock(job->trimEnd, end);
        std::snprintf(fileName, sizeof fileName, "%s[%s - %s]", job->sourceBaseName, start, end);
    } else {
        std::snprintf(fileName, sizeof fileName, "%s", job->sourceBaseName);
    }
    char length[kClockTextSize];
    formatClock(job->trimEnd - job->trimStart, length);
    view->setCellText(job->row, kColumnFileName, fileName);
    view->setCellText(job->row, kColumnDuration, length);
    view->setCellText(job->row, kColumnOutputSize, job->sizeText);
}

namespace {
// Hours, minutes and the fractional rest of the seconds. The seconds are truncated to
// an integer for the division; values beyond any real length are held at a bound
// so the conversion stays defined (and NaN counts as 0).
void clockParts(double seconds, long long* hours, long long* minutes, double* rest) {
    constexpr double kBound = 1e15;
    double held = seconds;
    if (!(held == held)) {
        held = 0.0;
    } else if (held > kBound) {
        held = kBound;
    } else if (held < -kBound) {
        held = -kBound;
    }
    long long whole = static_cast<long long>(held);
    *hours = whole / 3600;
    *minutes = (whole % 3600) / 60;
    *rest = held - 3600.0 * static_cast<double>(*hours) - 60.0 * static_cast<double>(*minutes);
}
} // namespace

void formatClock(double seconds, char* text) {
    long long hours = 0;
    long long minutes = 0;
    double rest = 0.0;
    clockParts(seconds, &hours, &minutes, &rest);
    printClassic(text, kClockTextSize, "%02lld:%02lld:%05.2f", hours, minutes, rest);
}

void formatClock(double seconds, wchar_t* text) {
    long long hours = 0;
    long long minutes = 0;
    double rest = 0.0;
    clockParts(seconds, &hours, &minutes, &rest);
    printClassicWide(text, kClockTextSize, L"%02lld:%02lld:%05.2f", hours, minutes, rest);
}
