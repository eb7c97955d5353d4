// The small files kept beside the executable, or in the user's data folder when the
// executable's folder cannot be written: "install.date" (written at the first start),
// "install" (the install ping's marker) and "version"; and installTime.
#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>

inline constexpr std::size_t kInstallTimeSize = 64; // 63 characters and the terminator

// Set by the main window's start-up and read by the update check: the paths of the
// three files and the content of "install.date" (empty when the install ping was
// acknowledged or the file is missing, empty, unreadable or too long).
extern QString installDateFile;
extern QString installMarkerFile;
extern QString versionFile;
extern char installTime[kInstallTimeSize];

// The folder the three paths were composed in (set by composeStartupFiles).
extern QString startupFilesFolder;

// Composes the three paths inside `folder`.
void composeStartupFiles(const QString& folder);

// Where the three files live for an executable in `moduleFolder`: where an earlier start
// wrote "install.date" (that folder, else "nemarro" inside the user's data folder,
// $XDG_DATA_HOME, by default ~/.local/share). At a first start, when that file must be
// written: `moduleFolder` when a file can be created in it (a build tree, a portable copy),
// otherwise the data folder's, created on demand. When neither can be written:
// `moduleFolder`, whose files are then read and never written.
QString chooseStartupFilesFolder(const QString& moduleFolder);

// Writes `now` (seconds since 1970-01-01 UTC) as decimal digits, without a line end,
// into `file` unless something already exists there. A failed write is left for the
// next start to try again. Returns true when the file was written.
bool writeInstallDateOnce(const QString& file, std::int64_t now);

// Reads `dateFile` into `text` (kInstallTimeSize bytes) unless `markerFile` exists.
// `text` is empty when the marker exists or the file is missing, empty, unreadable
// or longer than 63 characters (a file this program never writes).
void readInstallTime(const QString& dateFile, const QString& markerFile, char* text);
