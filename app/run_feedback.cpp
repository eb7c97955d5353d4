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
#include <cstring>

void CMainDlg::followRunStarted() {
    m_runTally = RunTally{};
    for (const ConversionJob* job = g_jobList.head; job != nullptr; job = job->next)
        ++m_runTally.jobs;
}

// Only scrolled, never selected: the user's selection is theirs.
void CMainDlg::followJobStarted(const ConversionJob& job) {
    if (QTreeWidgetItem* item = m_jobList->topLevelItem(job.row))
        m_jobList->scrollToItem(item, QAbstractItemView::EnsureVisible);
    followProgress(0.0);
}

// Every status the run shows passes here: a percentage while the job converts, then its
// final word, "Success!" for a converted job ("Failed!" and "FATAL!" otherwise).
void CMainDlg::followJobStatus(const ConversionJob& job, const char* text) {
    const std::size_t length = std::strlen(text);
    if (length == 0 || text[length - 1] == '%')
        return;
    ++m_runTally.ended;
    if (std::strcmp(text, verdictStatusText(JobOutcome::Converted)) == 0) {
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
