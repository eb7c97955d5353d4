// On Windows every output folder takes Windows' names only.
#include "file_system_names.h"

NameRules nameRulesFor(const std::string&) {
    return NameRules::Windows;
}
