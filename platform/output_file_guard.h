// Removal of an output file that a failed conversion left behind.
#pragma once

#include <string>

// ffmpeg run with -y leaves an empty or truncated file behind when it fails. The guard
// notes, before the run, whether anything exists at the output path, so that afterwards
// it removes only a file the run itself created, never one that was there before.
class OutputFileGuard {
public:
    explicit OutputFileGuard(std::string path);

    // Removes the file when nothing existed at the path before the run and a regular
    // file exists there now. Returns true when a file was removed.
    bool removeIfCreated() const;

private:
    std::string m_path;
    bool m_existedBefore = true; // no path: nothing to remove
};
