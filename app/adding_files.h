// Putting files into the job list: the add request (a file dialog's result or dropped
// paths), the probing worker that turns each path into a job and a row, and the file
// chooser the Open File button runs.
#pragma once

#include <QStringList>

#include <functional>

class QTreeWidget;
class QWidget;

// A drop of this many items or more is ignored as a whole.
inline constexpr int kMaxDroppedItems = 1024;

// The paths of one add request. From a file dialog: one full path, or a folder followed
// by the names chosen in it. From a drop: full paths only.
struct PendingPaths {
    QStringList strings;
    bool fromDrop = false;
};

// The file dialog's selection (full paths in the dialog's order) as an add request.
PendingPaths pendingPathsFromDialog(const QStringList& selectedFiles);
// Dropped local paths as an add request.
PendingPaths pendingPathsFromDrop(const QStringList& droppedPaths);
// The files named on the command line (after its options) as the full paths a drop of
// them would give; relative ones are taken from `currentFolder`, empty ones are skipped.
QStringList pathsFromCommandLine(const QStringList& files, const QString& currentFolder);
// The full paths an add request stands for, in order: the folder and each name joined
// with the separator for a dialog's several names.
QStringList expandPendingPaths(const PendingPaths& pending);

// The worker's body: probes the paths of `pending` (two probers per core reading ahead)
// and, in their order, for each job it appends, inserts the job's row into `jobList` with
// "Ready" and shows the list. It runs on its own thread and reaches the list only through
// blocking calls into the list's thread, which must be serving its event loop (the wait
// dialog's) meanwhile.
void probingWorker(QTreeWidget* jobList, const PendingPaths& pending);

// The file chooser Open File runs: full paths in the dialog's order, empty when the
// user cancelled. Replaceable so tests can answer for the user.
using OpenFileChooser = std::function<QStringList(QWidget* owner)>;
QStringList chooseFilesToOpen(QWidget* owner);
// An empty function restores the system's dialog; returns the previous chooser.
OpenFileChooser setOpenFileChooser(OpenFileChooser chooser);
// Where the system's dialog opens: the folder files were last chosen from in this run,
// else the user's Music folder, else the home folder; never the program's own folder.
QString openFileStartFolder();
// Remembers the folder of the files just chosen for the next opening.
void rememberOpenFileFolder(const QStringList& chosen);
