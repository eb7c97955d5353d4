// Telling the file systems that take only Windows' names from the others (statfs).
#include "file_system_names.h"

#include <cstdint>
#include <filesystem>
#include <sys/vfs.h>
#include <system_error>

namespace {
// statfs's f_type of the file systems that refuse Windows' characters (linux/magic.h and
// the ntfs3 and exFAT drivers).
constexpr std::uint32_t kWindowsFileSystems[] = {
    0x4d44,     // FAT (msdos, vfat)
    0x2011bab0, // exFAT
    0x5346544e, // NTFS (ntfs)
    0x7366746e, // NTFS (ntfs3)
    0xff534d42, // CIFS
    0xfe534d42, // SMB2
    0x517b,     // SMB
};
} // namespace

NameRules nameRulesFor(const std::string& folder) {
    std::error_code error;
    std::filesystem::path existing = std::filesystem::absolute(folder, error);
    while (!std::filesystem::exists(existing, error) && existing.has_relative_path()) {
        existing = existing.parent_path();
    }
    struct statfs info = {};
    if (statfs(existing.c_str(), &info) != 0) {
        return NameRules::Posix;
    }
    for (const std::uint32_t type : kWindowsFileSystems) {
        if (static_cast<std::uint32_t>(info.f_type) == type) {
            return NameRules::Windows;
        }
    }
    return NameRules::Posix;
}
