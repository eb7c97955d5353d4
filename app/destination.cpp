// Where converted files go: the destination combo box and its items, Browse with the
// folder chooser, and Open, which shows the destination in the file manager.
#include "destination.h"

#include "job_list.h"
#include "main_dlg.h"
#include "shell_open.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QSignalBlocker>
#include <QUrl>

#include <cstring>

namespace {

// Combo items before the chosen folders.
constexpr int kBrowseItem = 0;
constexpr int kSameFolderItem = 1;

FolderChooser g_folderChooser;

int systemFolderChooser(QWidget* owner, const QString& start, QString* folder) {
    const QString chosen = QFileDialog::getExistingDirectory(
        owner, QStringLiteral("Select Output Directory"), start, QFileDialog::ShowDirsOnly);
    if (chosen.isEmpty())
        return kFolderCancelled;
    if (!QDir::isAbsolutePath(chosen))
        return kFolderNotInFileSystem;
    QString native = QDir::toNativeSeparators(chosen);
    // One trailing separator goes; a root that is nothing but a separator stays.
    if (native.size() > 1 && native.endsWith(QDir::separator()))
        native.chop(1);
    *folder = native;
    return kFolderChosen;
}

// The item whose text is `text`, searched from `after` + 1 to the end and then from
// the top. Letter case counts: on this file system two folders may differ in it alone.
int findExactItem(const QComboBox* combo, const QString& text, int after) {
    const int count = combo->count();
    for (int step = 1; step <= count; ++step) {
        const int index = (after + step) % count;
        if (combo->itemText(index) == text)
            return index;
    }
    return -1;
}

} // namespace

int chooseOutputFolder(QWidget* owner, const QString& start, QString* folder) {
    return g_folderChooser ? g_folderChooser(owner, start, folder)
                           : systemFolderChooser(owner, start, folder);
}

FolderChooser setFolderChooser(FolderChooser chooser) {
    FolderChooser previous = std::move(g_folderChooser);
    g_folderChooser = std::move(chooser);
    return previous;
}

// The combo box and selectedFolder agree after every handler: index 1 exactly when
// selectedFolder is empty, otherwise the item whose text it is.
void CMainDlg::takeChosenFolder(const QString& folder) {
    const QByteArray localFolder = folder.toLocal8Bit();
    if (std::size_t(localFolder.size()) >= sizeof m_selectedFolder) {
        // Never cut: a cut folder would be another folder. The choice stays as it was.
        QMessageBox::warning(this, QStringLiteral("Error"),
                             QStringLiteral("The path is too long. Please select a new one.\n") +
                                 folder);
        restoreDestinationSelection();
        return;
    }
    const QSignalBlocker blocker(m_destinationCombo);
    int index = findExactItem(m_destinationCombo, folder, 2);
    if (index < 0) {
        index = m_destinationCombo->count();
        m_destinationCombo->insertItem(index, folder);
    }
    m_destinationCombo->setCurrentIndex(index);
    std::memcpy(m_selectedFolder, localFolder.constData(), std::size_t(localFolder.size()) + 1);
    setDestinationForAll(m_selectedFolder);
}

// Back to the item of the folder in force, or to "same folder" when there is none.
void CMainDlg::restoreDestinationSelection() {
    const QSignalBlocker blocker(m_destinationCombo);
    int index = kSameFolderItem;
    if (m_selectedFolder[0] != '\0') {
        const int found = findExactItem(m_destinationCombo, QString::fromLocal8Bit(m_selectedFolder),
                                        kBrowseItem);
        if (found > kSameFolderItem)
            index = found;
    }
    m_destinationCombo->setCurrentIndex(index);
}

void CMainDlg::onBrowse() {
    if (m_state == ConversionState::Converting)
        return;
    QString folder;
    if (chooseOutputFolder(this, QString::fromLocal8Bit(m_selectedFolder), &folder) != kFolderChosen)
        return;
    takeChosenFolder(folder);
}

// The user picked an item. Only "Browse..." has work to do here; the selection change
// that came with it has already taken any other item.
void CMainDlg::onDestinationSelOk(int index) {
    if (index != kBrowseItem || m_state == ConversionState::Converting)
        return;
    QString folder;
    if (chooseOutputFolder(this, QString::fromLocal8Bit(m_selectedFolder), &folder) != kFolderChosen) {
        restoreDestinationSelection();
        return;
    }
    takeChosenFolder(folder);
}

// Also while converting: a folder picked during a run applies to the jobs that start
// after it; the running one has its command line already.
void CMainDlg::onDestinationSelChange(int index) {
    if (index < 0)
        return;
    if (index == kBrowseItem) {
        // "Browse..." never stays selected. The confirmation that runs the chooser comes
        // after this change and reads the selection, so put it back only afterwards.
        QMetaObject::invokeMethod(this, [this] { restoreDestinationSelection(); },
                                  Qt::QueuedConnection);
        return;
    }
    if (index == kSameFolderItem) {
        m_selectedFolder[0] = '\0';
    } else {
        const QByteArray localFolder = m_destinationCombo->itemText(index).toLocal8Bit();
        // Every listed folder was checked to fit when it was listed.
        if (std::size_t(localFolder.size()) >= sizeof m_selectedFolder) {
            restoreDestinationSelection();
            return;
        }
        std::memcpy(m_selectedFolder, localFolder.constData(), std::size_t(localFolder.size()) + 1);
    }
    setDestinationForAll(m_selectedFolder);
}

void CMainDlg::onOpen() {
    const QString folder = QString::fromLocal8Bit(m_selectedFolder);
    shellOpen(QUrl::fromLocalFile(folder.isEmpty() ? QDir::homePath() : folder));
}
