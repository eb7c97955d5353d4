// Job records: creation with the start values, the output size estimate, the texts of
// a job's row and the clock text.
#include "conversion_job.h"

#include "bit_rate.h"
#include "bounded_text.h"
#include "classic_numbers.h"
#include "job_row_view.h"
#include "path_split.h"

#include <cstdio>
#include <cwchar>
#include <new>

ConversionJob* createJob(const char* sourcePath, double duration, ConversionProfile* profile) {
    ConversionJob* job = new (std::nothrow) ConversionJob{};
    if (job == nullptr) {
        return nullptr;
    }
    if (copyText(job->sourcePath, sizeof job->sourcePath, sourcePath) != 0 ||
        splitPath(job->sourcePath, job->sourceDrive, sizeof job->sourceDrive,
                  job->sourceFolder, sizeof job->sourceFolder, job->sourceBaseName,
                  sizeof job->sourceBaseName, job->sourceExtension,
                  sizeof job->sourceExtension) != 0) {
        delete job;
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
    ConversionJob fields{};
    return copyText(fields.sourcePath, sizeof fields.sourcePath, sourcePath) == 0 &&
           splitPath(sourcePath, fields.sourceDrive, sizeof fields.sourceDrive,
                     fields.sourceFolder, sizeof fields.sourceFolder, fields.sourceBaseName,
                     sizeof fields.sourceBaseName, fields.sourceExtension,
                     sizeof fields.sourceExtension) == 0;
}

void releaseJob(ConversionJob* job) { delete job; }

namespace {
// A bit rate entry in bits per second ("6.7k" is 6700); 0 for "Auto" and any text that
// is no bit rate.
double entryRate(const char* entry) {
    const double kilobits = readKilobits(entry);
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
