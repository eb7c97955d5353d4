// The conversion loop of the main window: Start and Stop, the walk down the job list one
// job at a time, the two timers that watch the encoder and the close request. Starting,
// polling and judging a job are the engine's run; the window shows what it reports.
#include "conversion_control.h"

#include "bitmap_slider.h"
#include "conversion_run.h"
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
    if (startNextJob(g_jobList.head) != 0) {
        followRunEnded();
        return;
    }
    setConversionState(ConversionState::Converting);
}

// 0: an encoder runs for `job` or a later one; 1: no job was left to start; 2: an
// output folder cannot be written, the run stops there.
int CMainDlg::startNextJob(ConversionJob* job) {
    char folder[kPathSize];
    const RunStart start = ::startNextJob(&m_run, job, folder);
    if (start == RunStart::FolderNotWritable) {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Error"),
                        loadString(IDS_READ_ONLY_PATH) + QLatin1Char('\n') +
                            QString::fromLocal8Bit(folder),
                        QMessageBox::Ok, this);
        box.exec();
        return 2;
    }
    if (start != RunStart::Started)
        return 1;
    m_pollEncoderTimer.start(kPollEncoderPeriod);
    m_progressTimer.start(kProgressPeriod);
    followJobStarted(*m_run.job);
    return 0;
}

void CMainDlg::onPollEncoder() {
    if (pollRun(&m_run) == 0)
        return;
    m_pollEncoderTimer.stop();
    m_progressTimer.stop();
    const ConversionJob* job = finishJob(&m_run).job;
    if (m_stopRequested != 0 || job == nullptr || startNextJob(job->next) != 0) {
        m_stopRequested = 0;
        setConversionState(ConversionState::Idle);
        followRunEnded();
    }
}

void CMainDlg::onProgress() {
    const float percent = showRunProgress(&m_run);
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
    // seeing the request, starts no other.
    requestStop(&m_run);
    m_stopRequested = 1;
}

// False when the user chose to let the running conversion go on.
bool CMainDlg::closeRequest() {
    if (m_state == ConversionState::Converting) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("!Waring!"), loadString(IDS_STOP_FIRST),
                        QMessageBox::Yes | QMessageBox::No, this,
                        Qt::Dialog | Qt::WindowStaysOnTopHint);
        if (box.exec() != QMessageBox::Yes) {
            m_closeAllowed = 0;
            return false;
        }
        // The encoder is asked to quit and finishes its file on its own; nobody waits.
        requestStop(&m_run);
        m_stopRequested = 1;
    }
    return true;
}
