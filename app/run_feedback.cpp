// What the desktop hears of a conversion run: the running row kept in view, how much of the
// list is done on the taskbar entry, and at the end, while the window is not the active
// one, a notification of how the run went and the taskbar's attention hint.
#include "desktop_notification.h"
#include "job_list.h"
#include "job_verdict.h"
#include "main_dlg.h"

#include <QApplication>
#include <QTreeWidget>

#include <algorithm>
#include <cmath>

void CMainDlg::followRunStarted() {
    m_runTally = RunTally{};
}

void CMainDlg::queueProgress(int done, int total) {
    m_runTally.ended = done;
    m_runTally.jobs = total;
}

void CMainDlg::jobStarted(const ConversionJob& job, const char*) {
    followJobStarted(job);
}

// Only scrolled, never selected: the user's selection is theirs.
void CMainDlg::followJobStarted(const ConversionJob& job) {
    if (QTreeWidgetItem* item = m_jobList->topLevelItem(job.row))
        m_jobList->scrollToItem(item, QAbstractItemView::EnsureVisible);
    followProgress(0.0);
}

// How a job ended: its status cell, and the tally of the notice at the run's end.
void CMainDlg::jobEnded(const JobVerdict& verdict) {
    const ConversionJob& job = *verdict.job;
    setCellText(job.row, kColumnStatus, verdictStatusText(verdict.outcome));
    if (verdict.outcome == JobOutcome::Converted) {
        ++m_runTally.converted;
    } else {
        m_runTally.failedNames << QString::fromLocal8Bit(job.sourceBaseName) +
                                      QString::fromLocal8Bit(job.sourceExtension);
    }
}

// The jobs that have ended, and the running one's share of its range.
void CMainDlg::followProgress(double percent) {
    if (m_runTally.jobs <= 0)
        return;
    const double running = std::isnan(percent) ? 0.0 : std::clamp(percent / 100.0, 0.0, 1.0);
    m_launcherEntry.setProgress((m_runTally.ended + running) / m_runTally.jobs);
}

void CMainDlg::followRunEnded() {
    m_launcherEntry.hideProgress();
    if (m_runTally.ended == 0 || isActiveWindow())
        return;
    showDesktopNotification(
        runNoticeSummary(m_runTally.converted, int(m_runTally.failedNames.size())),
        runNoticeBody(m_runTally.failedNames));
    QApplication::alert(this);
}
