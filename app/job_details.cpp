// What the window shows of a job's run: its status cell, the note as that cell's
// tooltip and its description for screen readers, and "Copy details" on a right click on
// the job's row, for pasting into a bug report or a search.
#include "job_list.h"
#include "main_dlg.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTreeWidget>

void CMainDlg::showJobNote(const ConversionJob& job) {
    if (QTreeWidgetItem* item = m_jobList->topLevelItem(job.row)) {
        const QString note = QString::fromLocal8Bit(job.note);
        item->setToolTip(kColumnStatus, note);
        item->setData(kColumnStatus, Qt::AccessibleDescriptionRole, note); // for screen readers
    }
}

void CMainDlg::onJobListMenu(const QPoint& at) {
    QTreeWidgetItem* item = m_jobList->itemAt(at);
    if (item == nullptr)
        return;
    m_jobMenuRow = m_jobList->indexOfTopLevelItem(item);
    m_jobMenu.exec(m_jobList->viewport()->mapToGlobal(at));
}

void CMainDlg::copyJobDetails(int row) {
    const ConversionJob* job = jobAt(row);
    const QTreeWidgetItem* item = m_jobList->topLevelItem(row);
    if (job == nullptr || item == nullptr)
        return;
    QString details =
        QString::fromLocal8Bit(job->sourcePath) + QLatin1Char('\n') + item->text(kColumnStatus);
    if (job->note[0] != '\0')
        details += QLatin1Char('\n') + QString::fromLocal8Bit(job->note);
    QGuiApplication::clipboard()->setText(details);
}
