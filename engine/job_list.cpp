// The one job list: a singly linked chain from g_jobList.head that owns its jobs.
#include "job_list.h"

#include "bounded_text.h"
#include "catalogue.h"

#include <cstring>

JobList g_jobList = {nullptr};

ConversionJob* jobAt(int position) {
    if (position < 0) {
        return nullptr;
    }
    ConversionJob* job = g_jobList.head;
    for (int step = 0; job != nullptr && step < position; ++step) {
        job = job->next;
    }
    return job;
}

int jobCount() {
    int count = 0;
    for (ConversionJob* job = g_jobList.head; job != nullptr; job = job->next) {
        ++count;
    }
    return count;
}

void appendJob(ConversionJob* job) {
    if (job == nullptr) {
        return;
    }
    job->next = nullptr;
    ConversionJob** link = &g_jobList.head;
    while (*link != nullptr) {
        link = &(*link)->next;
    }
    *link = job;
}

int removeJobAt(int position) {
    ConversionJob* job = jobAt(position);
    if (job == nullptr) {
        return 0;
    }
    if (position == 0) {
        g_jobList.head = job->next;
    } else {
        jobAt(position - 1)->next = job->next;
    }
    releaseJob(job);
    return 1;
}

void clearJobs() {
    ConversionJob* job = g_jobList.head;
    g_jobList.head = nullptr;
    while (job != nullptr) {
        ConversionJob* next = job->next;
        releaseJob(job);
        job = next;
    }
}

void renumberRows() {
    int32_t row = 0;
    for (ConversionJob* job = g_jobList.head; job != nullptr; job = job->next) {
        job->row = row++;
    }
}

int setDestinationForAll(const char* folder) {
    if (std::strlen(folder) >= kPathSize) {
        return -1;
    }
    int result = 0;
    for (ConversionJob* job = g_jobList.head; job != nullptr; job = job->next) {
        if (setJobDestination(job, folder) != 0) {
            result = -1; // out of memory: this job keeps its folder
        }
    }
    return result;
}

void refreshAllRows(JobRowView* view) {
    for (ConversionJob* job = g_jobList.head; job != nullptr; job = job->next) {
        refreshJobRow(view, job, currentProfile);
    }
}
