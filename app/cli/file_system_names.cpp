// Which characters a name may not hold, under each file system's rules.
#include "file_system_names.h"

#include <cstring>

bool refusedInName(unsigned char c, NameRules rules) {
    if (c == '/' || c == '\0') {
        return true;
    }
    return rules == NameRules::Windows && (c < 0x20 || std::strchr("<>:\"\\|?*", c) != nullptr);
}
