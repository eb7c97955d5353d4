// The queue of jobs over its lanes: which job starts next and on which lane, what a
// finished lane's verdict releases, a stop, and the names the running lanes hold.
#include "conversion_queue.h"

#include "bounded_text.h"
#include "encoder_command_line.h"
#include "pipe_io.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

void reportProgress(const ConversionQueue* queue) {
    if (queue->view != nullptr)
        queue->view->queueProgress(queue->done, int(queue->jobs.size()));
}

void countDone(ConversionQueue* queue) {
    ++queue->done;
    reportProgress(queue);
}

// Makes the job's destination folder when it is missing. 0, or the system's error code.
int makeDestination(const ConversionJob& job) {
    if (job.destinationFolder[0] == '\0')
        return 0; // beside the source, which is there
    std::error_code error;
    std::filesystem::create_directories(job.destinationFolder, error);
    return error ? (error.value() != 0 ? error.value() : -1) : 0;
}

// Starts the queue's next job on the free `lane`: Started, FolderNotWritable when the
// queue stops at its folder (the job stays next, its status as it was), else
// CouldNotStart with the job's verdict out.
RunStart startOnLane(ConversionQueue* queue, ConversionRun* lane) {
    ConversionJob* job = queue->jobs[queue->next++];
    if (queue->options.createFolders) {
        if (const int error = makeDestination(*job); error != 0) {
            refuseJob(lane, job, JobOutcome::FolderRefused, error);
            countDone(queue);
            return RunStart::CouldNotStart;
        }
    }
    char folder[kPathSize];
    const RunStart start = startJob(lane, job, folder);
    if (start == RunStart::Started) {
        claimOutputPath(&queue->claims, runOutputPath(*lane));
        return start;
    }
    if (start == RunStart::FolderNotWritable) {
        if (queue->view != nullptr)
            queue->view->folderRefused(*job, folder);
        if (!queue->options.goOnAtRefusedFolder) {
            --queue->next;
            queue->stopped = true;
            return start;
        }
        refuseJob(lane, job, JobOutcome::FolderRefused);
    }
    countDone(queue);
    return RunStart::CouldNotStart;
}

} // namespace

void initConversionQueue(ConversionQueue* queue, const QueueOptions& options, JobRunView* view) {
    queue->options = options;
    queue->options.lanes = std::clamp(options.lanes, 1, kMaxLanes);
    queue->view = view;
    queue->lanes.reset(new ConversionRun[std::size_t(queue->options.lanes)]);
    for (int i = 0; i < queue->options.lanes; ++i) {
        initConversionRun(&queue->lanes[i], view);
        queue->lanes[i].progress.claims = &queue->claims;
        queue->lanes[i].verify = queue->options.verify;
        queue->lanes[i].temporaryOutputs = queue->options.temporaryOutputs;
        queue->lanes[i].keepStoppedOutputs = queue->options.keepStoppedOutputs;
    }
    clearQueue(queue);
}

int setQueueProgram(ConversionQueue* queue, const char* folder, const char* fileName) {
    int result = 0;
    for (int i = 0; i < queue->options.lanes; ++i)
        result |= setToolProgram(&queue->lanes[i].encoder, folder, fileName);
    return result == 0 ? 0 : -1;
}

int setQueueChecker(ConversionQueue* queue, const char* folder, const char* fileName) {
    int result = 0;
    for (int i = 0; i < queue->options.lanes; ++i)
        result |= setToolProgram(&queue->lanes[i].checker, folder, fileName);
    return result == 0 ? 0 : -1;
}

ConversionRun& queueLane(ConversionQueue* queue, int index) {
    return queue->lanes[index];
}

void clearQueue(ConversionQueue* queue) {
    queue->jobs.clear();
    queue->next = 0;
    queue->done = 0;
    queue->closed = false;
    queue->stopped = false;
    queue->claims.paths.clear();
}

void appendQueuedJob(ConversionQueue* queue, ConversionJob* job) {
    queue->jobs.push_back(job);
    reportProgress(queue);
}

void closeQueue(ConversionQueue* queue) {
    queue->closed = true;
}

RunStart startQueuedJobs(ConversionQueue* queue) {
    for (int i = 0; i < queue->options.lanes; ++i) {
        ConversionRun* lane = &queue->lanes[i];
        while (lane->job == nullptr && !queue->stopped && queue->next < queue->jobs.size()) {
            if (queue->view != nullptr && queue->view->skipJob(*queue->jobs[queue->next])) {
                ++queue->next;
                countDone(queue);
            } else if (startOnLane(queue, lane) == RunStart::FolderNotWritable) {
                return RunStart::FolderNotWritable;
            }
        }
    }
    return runningJobs(queue) > 0 ? RunStart::Started : RunStart::NoJobLeft;
}

int finishEndedJobs(ConversionQueue* queue) {
    int ended = 0;
    for (int i = 0; i < queue->options.lanes; ++i) {
        ConversionRun* lane = &queue->lanes[i];
        if (lane->job == nullptr || pollRun(lane) == 0)
            continue;
        // What becomes of the written file follows from the verdict alone; the name is
        // given up once the verdict is out.
        char claimed[kPathSize];
        copyText(claimed, sizeof claimed, runOutputPath(*lane)); // a stopped file is renamed
        finishJob(lane);
        releaseOutputPath(&queue->claims, claimed);
        countDone(queue);
        ++ended;
    }
    return ended;
}

void showQueueProgress(ConversionQueue* queue) {
    for (int i = 0; i < queue->options.lanes; ++i)
        if (queue->lanes[i].job != nullptr)
            showRunProgress(&queue->lanes[i]);
}

int stopQueue(ConversionQueue* queue) {
    queue->stopped = true;
    int running = 0;
    for (int i = 0; i < queue->options.lanes; ++i) {
        if (queue->lanes[i].job != nullptr) {
            requestStop(&queue->lanes[i]);
            ++running;
        }
    }
    return running;
}

int runningJobs(const ConversionQueue* queue) {
    int running = 0;
    for (int i = 0; i < queue->options.lanes; ++i)
        running += queue->lanes[i].job != nullptr;
    return running;
}

bool queueFinished(const ConversionQueue* queue) {
    return runningJobs(queue) == 0 &&
           (queue->stopped || (queue->closed && queue->next >= queue->jobs.size()));
}

void waitForQueue(const ConversionQueue* queue, int milliseconds) {
    PipeHandle pipes[2 * kMaxLanes];
    int count = 0;
    for (int i = 0; i < queue->options.lanes; ++i) {
        const ConversionRun& lane = queue->lanes[i];
        if (lane.job != nullptr && lane.encoder.outputRead != kNoPipe)
            pipes[count++] = lane.encoder.outputRead;
        // Only an asked check is awaited: the server prints nothing between answers.
        if (lane.job != nullptr && runCheckPipe(lane) != kNoPipe)
            pipes[count++] = runCheckPipe(lane);
    }
    if (count > 0)
        waitForPipes(pipes, count, milliseconds);
}

bool outputNameTaken(const ConversionQueue* queue, const ConversionJob& job) {
    char path[kPathSize];
    return sourceOutputPath(job, path) == kBuildDone && outputPathTaken(&queue->claims, path);
}

int planOutputPath(ConversionQueue* queue, ConversionJob* job, char* path) {
    if (buildOutputPath(job, path, &queue->claims) != kBuildDone)
        return kBuildRefused;
    claimOutputPath(&queue->claims, path);
    return kBuildDone;
}

void releaseConversionQueue(ConversionQueue* queue) {
    for (int i = 0; queue->lanes != nullptr && i < queue->options.lanes; ++i)
        releaseConversionRun(&queue->lanes[i]);
    clearQueue(queue);
}
