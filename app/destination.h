// The folder chooser the destination uses, replaceable so tests can answer for the user.
#pragma once

#include <QString>

#include <functional>

class QWidget;

// Results of the folder chooser.
inline constexpr int kFolderChosen = 0;
inline constexpr int kFolderNotInFileSystem = 1;
inline constexpr int kFolderCancelled = 2;

// Opens the chooser titled "Select Output Directory" at `start` (none when empty). On
// kFolderChosen `folder` holds the folder without a trailing separator, except for the
// file-system root, which stays as the chooser gives it.
using FolderChooser = std::function<int(QWidget* owner, const QString& start, QString* folder)>;
int chooseOutputFolder(QWidget* owner, const QString& start, QString* folder);
// An empty function restores the system's chooser; returns the previous one.
FolderChooser setFolderChooser(FolderChooser chooser);
