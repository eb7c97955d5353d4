// Resident memory of a job list of 10,000 files, made the way an add makes them
// (createJob, appendJob, then the destination for all), with paths of three lengths:
// a usual library path, one of about 350 bytes and one of about 1,000 bytes (deep
// folders, names in Cyrillic). Prints the figures per list and per job, and what the
// same list would take with every path field a fixed array of the longest path.
// Usage: job_memory_bench [jobs (10000)]
#include "catalogue.h"
#include "job_list.h"
#include "resident_memory.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

// A path of about `length` bytes: folders of Cyrillic names, then "<number> Симфония.flac".
std::string libraryPath(std::size_t length, int number) {
    std::string path = "/home/user/Music";
    const std::string folder = "/Чайковский - Полное собрание сочинений";
    while (path.size() + folder.size() + 40 < length)
        path += folder;
    path += "/" + std::to_string(number) + " Симфония.flac";
    while (path.size() < length)
        path.insert(path.size() - 5, "x");
    return path;
}

} // namespace

int main(int argc, char** argv) {
    const int jobs = argc > 1 ? std::atoi(argv[1]) : 10000;
    ConversionProfile* profile = findProfile(kGeneralAudioCategory, "MP3 - MPEG Layer-3 Audio");
    const std::string destination = libraryPath(400, 0).substr(0, 400);
    std::printf("Job record: %zu bytes beside its paths; path limit %zu bytes\n",
                sizeof(ConversionJob), kPathSize);
    int failures = 0;
    for (std::size_t length : {std::size_t(100), std::size_t(350), std::size_t(1000)}) {
        const long before = residentKib();
        for (int i = 0; i < jobs; ++i) {
            ConversionJob* job = createJob(libraryPath(length, i).c_str(), 180.0, profile);
            if (job == nullptr) {
                ++failures;
                continue;
            }
            appendJob(job);
        }
        renumberRows();
        failures += setDestinationForAll(destination.c_str()) != 0;
        const long after = residentKib();
        // Five path fields as fixed arrays instead of pointers to their text.
        const double fixed = double(jobs) *
                             double(sizeof(ConversionJob) + 5 * (kPathSize - sizeof(char*))) /
                             (1024.0 * 1024.0);
        std::printf("%d jobs, %zu-byte paths, %zu-byte destination: resident %.1f MB "
                    "(%.1f MB for the list, %.0f bytes a job); fixed %zu-byte arrays would "
                    "take %.1f MB for the list (target: the program <= 150 MB)\n",
                    jobCount(), length, destination.size(), after / 1024.0,
                    (after - before) / 1024.0, (after - before) * 1024.0 / jobs, kPathSize, fixed);
        std::fflush(stdout);
        clearJobs();
#ifdef __GLIBC__
        malloc_trim(0); // the next list starts from the same ground
#endif
    }
    if (failures)
        std::printf("%d jobs were not made\n", failures);
    return failures ? 1 : 0;
}
