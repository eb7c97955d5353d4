// Removal of an output file that a failed conversion left behind, by its attributes.
#include "output_file_guard.h"

#include "path_exists.h"

#include <windows.h>

OutputFileGuard::OutputFileGuard(std::string path) : m_path(std::move(path)) {
    m_existedBefore = m_path.empty() || pathExists(m_path.c_str());
}

bool OutputFileGuard::removeIfCreated() const {
    if (m_existedBefore)
        return false;
    // A folder or a link (a reparse point) is not what the run wrote.
    const DWORD attributes = GetFileAttributesA(m_path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0)
        return false;
    return DeleteFileA(m_path.c_str()) != 0;
}
