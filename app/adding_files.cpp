// Adding files to the job list and taking them out again: Open File, dropped files,
// the probing worker with the wait dialog, Delete File and Clear.
#include "adding_files.h"

#include "job_list.h"
#include "main_dlg.h"
#include "media_probe.h"
#include "probe_ahead.h"
#include "string_table.h"
#include "wait_dlg.h"
#include "worker_thread.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

#include <algorithm>
#include <thread>
#include <vector>

namespace {

OpenFileChooser g_openFileChooser;
QString g_lastOpenFolder; // empty until files were chosen in this run

QStringList systemFileChooser(QWidget* owner) {
    // Several files, no filter, no default name: the selection comes back in the
    // dialog's order.
    return QFileDialog::getOpenFileNames(owner, QString(), openFileStartFolder());
}

QString joinFolderAndName(const QString& folder, const QString& name) {
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

// Runs on the list's thread while the worker waits: the job the worker has just
// appended is the one at the list's row count, and the worker cannot touch the job
// list until this returns.
void insertJobRow(QTreeWidget* jobList) {
    jobList->show();
    const int row = jobList->topLevelItemCount();
    const ConversionJob* job = jobAt(row);
    if (job == nullptr)
        return;
    auto* item = new QTreeWidgetItem;
    item->setText(kColumnFileName, QString::fromLocal8Bit(job->sourceBaseName));
    item->setText(kColumnDuration, QString::fromLocal8Bit(job->durationText));
    item->setText(kColumnOutputSize, QString::fromLocal8Bit(job->sizeText));
    item->setText(kColumnStatus, QStringLiteral("Ready"));
    jobList->insertTopLevelItem(row, item);
}

// Probers that run at once: two per core. A prober is mostly start-up work (loading its
// libraries, opening the file); a second one per core runs while the first waits on the
// disk. Measured on 2 cores over 300 one-second files, 0.29 of plain ffprobe calls with
// one per core and 0.22 with two.
int probeWidth() {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 2 : int(std::min(2 * cores, unsigned(kMaxProbesAhead)));
}

} // namespace

PendingPaths pendingPathsFromDialog(const QStringList& selectedFiles) {
    PendingPaths pending;
    if (selectedFiles.size() <= 1) {
        pending.strings = selectedFiles;
        return pending;
    }
    const QString folder = QFileInfo(selectedFiles.first()).path();
    QStringList names;
    for (const QString& file : selectedFiles) {
        const QFileInfo info(file);
        if (info.path() != folder) {
            // Not one folder after all: keep every path whole rather than join a
            // name with the wrong folder.
            pending.strings = selectedFiles;
            pending.fromDrop = true;
            return pending;
        }
        names << info.fileName();
    }
    pending.strings << folder << names;
    return pending;
}

QStringList pathsFromCommandLine(const QStringList& files, const QString& currentFolder) {
    QStringList paths;
    for (const QString& argument : files) {
        if (argument.isEmpty())
            continue;
        // As a drop gives them: full paths, nothing resolved or tidied.
        paths << (QDir::isAbsolutePath(argument) ? argument
                                                 : joinFolderAndName(currentFolder, argument));
    }
    return paths;
}

PendingPaths pendingPathsFromDrop(const QStringList& droppedPaths) {
    PendingPaths pending;
    pending.strings = droppedPaths;
    pending.fromDrop = true;
    return pending;
}

QStringList expandPendingPaths(const PendingPaths& pending) {
    const QStringList& strings = pending.strings;
    if (strings.isEmpty() || strings.first().isEmpty())
        return {};
    if (strings.size() == 1)
        return strings;
    if (pending.fromDrop)
        return strings;
    QStringList paths;
    for (qsizetype i = 1; i < strings.size(); ++i)
        paths << joinFolderAndName(strings.first(), strings.at(i));
    return paths;
}

void probingWorker(QTreeWidget* jobList, const PendingPaths& pending) {
    // Called on the list's own thread (never by the program itself), a blocking call
    // into that thread would wait for ever; call straight through instead.
    const Qt::ConnectionType blocking = QThread::currentThread() == jobList->thread()
                                            ? Qt::DirectConnection
                                            : Qt::BlockingQueuedConnection;
    const QStringList paths = expandPendingPaths(pending);
    std::vector<QByteArray> localPaths;
    std::vector<const char*> pathList;
    localPaths.reserve(std::size_t(paths.size()));
    for (const QString& path : paths) {
        localPaths.push_back(QFile::encodeName(path));
        pathList.push_back(localPaths.back().constData());
    }
    // Several probers read ahead (probeWidth); the rows still appear in the order given.
    ProbeAhead* ahead = createProbeAhead(g_probeProcess.programPath, pathList.data(),
                                         int(pathList.size()), probeWidth());
    if (ahead == nullptr)
        return;
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QString& path = paths.at(i);
        QMetaObject::invokeMethod(
            jobList, [path] { setCurrentProbeName(path); }, Qt::QueuedConnection);
        ProbeOutcome outcome;
        if (takeNextProbe(ahead, &outcome) == 0)
            break;
        // A path that does not fit the job's fields is refused by the probe, never cut.
        if (outcome.result != kProbeReadable ||
            addProbedJob(outcome.path, outcome.duration) != kProbeAdded)
            continue;
        QMetaObject::invokeMethod(jobList, [jobList] { insertJobRow(jobList); }, blocking);
    }
    releaseProbeAhead(ahead);
}

QStringList chooseFilesToOpen(QWidget* owner) {
    return g_openFileChooser ? g_openFileChooser(owner) : systemFileChooser(owner);
}

OpenFileChooser setOpenFileChooser(OpenFileChooser chooser) {
    OpenFileChooser previous = std::move(g_openFileChooser);
    g_openFileChooser = std::move(chooser);
    return previous;
}

QString openFileStartFolder() {
    if (!g_lastOpenFolder.isEmpty() && QFileInfo(g_lastOpenFolder).isDir())
        return g_lastOpenFolder;
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    if (!music.isEmpty() && QFileInfo(music).isDir())
        return music;
    return QDir::homePath();
}

void rememberOpenFileFolder(const QStringList& chosen) {
    if (!chosen.isEmpty() && !chosen.first().isEmpty())
        g_lastOpenFolder = QFileInfo(chosen.first()).absolutePath();
}

void CMainDlg::onOpenFile() {
    if (m_state == ConversionState::Converting)
        return;
    const QStringList files = chooseFilesToOpen(this);
    if (files.isEmpty() || files.first().isEmpty())
        return; // cancelled: nothing to read, no wait dialog
    rememberOpenFileFolder(files);
    addFiles(pendingPathsFromDialog(files));
}

void CMainDlg::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
        return;
    }
    QDialog::dragEnterEvent(event);
}

void CMainDlg::dropEvent(QDropEvent* event) {
    if (m_state == ConversionState::Converting || !event->mimeData()->hasUrls())
        return;
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() >= kMaxDroppedItems)
        return;
    QStringList paths;
    for (const QUrl& url : urls) {
        if (url.isLocalFile())
            paths << url.toLocalFile(); // folders too: they are passed on, not expanded
    }
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    addDroppedPaths(paths);
}

void CMainDlg::addDroppedPaths(const QStringList& paths) {
    if (paths.isEmpty() || paths.size() >= kMaxDroppedItems)
        return;
    // Probe after the drop has been answered, so the program the files came from is
    // not held up while they are read.
    const PendingPaths pending = pendingPathsFromDrop(paths);
    QMetaObject::invokeMethod(this, [this, pending] { addFiles(pending); }, Qt::QueuedConnection);
}

void CMainDlg::addFiles(const PendingPaths& pending) {
    if (m_state == ConversionState::Converting || expandPendingPaths(pending).isEmpty())
        return;
    // One add at a time: the wait dialog's event loop could run an add that was queued
    // before it opened, and two workers must never probe and append at once. Such an add
    // waits for the running one to end.
    static bool adding = false;
    if (adding) {
        QTimer::singleShot(100, this, [this, pending] { addFiles(pending); });
        return;
    }
    adding = true;
    WorkerThread worker;
    QTreeWidget* jobList = m_jobList;
    if (worker.start([jobList, pending] { probingWorker(jobList, pending); }))
        runWaitDialog(this, &worker, loadString(IDS_READING_FILE_INFO));
    adding = false;
    renumberRows();
    setDestinationForAll(m_selectedFolder);
}

void CMainDlg::onDeleteFile() {
    if (m_state == ConversionState::Converting)
        return;
    // Every selected row, however many: the highest index goes first so that the
    // lower ones keep their places.
    QList<int> rows;
    for (QTreeWidgetItem* item : m_jobList->selectedItems())
        rows << m_jobList->indexOfTopLevelItem(item);
    std::sort(rows.begin(), rows.end());
    if (!rows.isEmpty()) {
        for (qsizetype i = rows.size() - 1; i >= 0; --i) {
            delete m_jobList->takeTopLevelItem(rows.at(i));
            removeJobAt(rows.at(i));
        }
        renumberRows();
    }
    if (m_jobList->topLevelItemCount() == 0)
        m_jobList->hide();
}

void CMainDlg::onClear() {
    if (m_state == ConversionState::Converting)
        return;
    clearJobs();
    m_jobList->clear();
    m_jobList->hide();
}
