// The conversion loop of the main window: Start and Stop, the walk down the job list one
// job at a time, the two timers that watch the encoder and the close request. The walk
// is the engine's queue of one lane; the window drives it from its timers and shows what
// it reports.
#include "conversion_control.h"

#include "bitmap_slider.h"
#include "conversion_queue.h"
#include "job_list.h"
#include "main_dlg.h"
#include "string_table.h"

#include <QMessageBox>

#include <cmath>

void CMainDlg::onStart() {
    // A second encoder must never start over a running one.
    if (m_state == ConversionState::Converting)
        return;
    followRunStarted();
    // Every row from the first, whatever its status: converted rows are converted again.
    clearQueue(&m_queue);
    for (ConversionJob* job = g_jobList.head; job != nullptr; job = job->next)
        appendQueuedJob(&m_queue, job);
    closeQueue(&m_queue);
    if (startNextJob() != RunStart::Started) {
        followRunEnded();
        return;
    }
    setConversionState(ConversionState::Converting);
}

// Started: an encoder runs for the next job or a later one (those that could not start
// show "FATAL!"); NoJobLeft; FolderNotWritable: the "Error" box was shown, the run stops.
RunStart CMainDlg::startNextJob() {
    const RunStart start = startQueuedJobs(&m_queue);
    if (start == RunStart::Started) {
        m_pollEncoderTimer.start(kPollEncoderPeriod);
        m_progressTimer.start(kProgressPeriod);
    }
    return start;
}

void CMainDlg::folderRefused(const ConversionJob&, const char* folder) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Error"),
                    loadString(IDS_READ_ONLY_PATH) + QLatin1Char('\n') +
                        QString::fromLocal8Bit(folder),
                    QMessageBox::Ok, this);
    box.exec();
}

// The window converts every row; it skips none.
bool CMainDlg::skipJob(const ConversionJob&) {
    return false;
}

void CMainDlg::onPollEncoder() {
    if (finishEndedJobs(&m_queue) == 0)
        return;
    m_pollEncoderTimer.stop();
    m_progressTimer.stop();
    // After a stop request the queue starts no other job.
    if (startNextJob() != RunStart::Started) {
        setConversionState(ConversionState::Idle);
        followRunEnded();
    }
}

void CMainDlg::onProgress() {
    showQueueProgress(&m_queue);
}

// The running job's percentage: its status cell, the taskbar, and the slider.
void CMainDlg::jobProgress(const ConversionJob& job, float percent, const char* text) {
    setCellText(job.row, kColumnStatus, text);
    followProgress(static_cast<double>(percent));
    if (percent == 0.0f || std::isnan(percent))
        return;
    // Hundredths of a percent; clamped before the conversion, which would be undefined
    // for a value beyond int.
    const double scaled = static_cast<double>(percent) * 100.0;
    const int maximum = m_progress->GetRangeMax();
    const int minimum = m_progress->GetRangeMin();
    int position = minimum;
    if (scaled >= maximum)
        position = maximum;
    else if (scaled > minimum)
        position = static_cast<int>(scaled);
    m_progress->SetPos(position);
}

void CMainDlg::onStop() {
    if (m_state != ConversionState::Converting)
        return;
    // The encoder closes its file and ends; the poll timer then finishes the job and,
    // the queue being stopped, starts no other.
    stopQueue(&m_queue);
}

// False when the user chose to let the running conversion go on.
bool CMainDlg::closeRequest() {
    if (m_state == ConversionState::Converting) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("!Waring!"),
                        loadString(IDS_STOP_FIRST), QMessageBox::Yes | QMessageBox::No, this,
                        Qt::Dialog | Qt::WindowStaysOnTopHint);
        if (box.exec() != QMessageBox::Yes) {
            m_closeAllowed = 0;
            return false;
        }
        // The encoder is asked to quit and finishes its file on its own; nobody waits.
        stopQueue(&m_queue);
    }
    return true;
}
