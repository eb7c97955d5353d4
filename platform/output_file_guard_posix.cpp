// Removal of an output file that a failed conversion left behind, by lstat and unlink.
#include "output_file_guard.h"

#include <sys/stat.h>
#include <unistd.h>

OutputFileGuard::OutputFileGuard(std::string path) : m_path(std::move(path)) {
    struct stat info {};
    // A dangling link counts as existing too: whatever is there is not ours.
    m_existedBefore = m_path.empty() || lstat(m_path.c_str(), &info) == 0;
}

bool OutputFileGuard::removeIfCreated() const {
    if (m_existedBefore)
        return false;
    struct stat info {};
    if (lstat(m_path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    return unlink(m_path.c_str()) == 0;
}
