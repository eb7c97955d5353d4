// The string table. The web addresses live here and nowhere else; no server answers under the
// reserved ".example" domain, so the update check and the ping fail silently as designed.
#include "string_table.h"

#include <iterator>

namespace {

struct StringEntry {
    int id;
    const char* text; // UTF-8
};

#define NEMARRO_SITE "https://www.nemarro.example"

constexpr StringEntry kStrings[] = {
    {IDS_ABOUTBOX, "&About Nemarro..."},
    {IDS_HOME_PAGE, NEMARRO_SITE "/"},
    {IDS_WEB_PAGE, NEMARRO_SITE "/audio-converter/"},
    {IDS_VERSION, "1.7.29"},
    {IDS_NEW_VERSION, "Find new version,update or not?"},
    {IDS_READ_ONLY_PATH, "The path is read-only. Please select a new one."},
    {IDS_STOP_FIRST, "Please stop ripping first and try again.\n\nDo you want to stop now?"},
    {IDS_READING_FILE_INFO, "Reading File Info ,please wait..."},
    {IDS_ABOUT_TITLE, "About Nemarro"},
    {IDS_ABOUT_PRODUCT, "Nemarro - 1.7.29"},
    {IDS_ABOUT_COPYRIGHT, "Copyright \u00A9 2009-2024 Nemarro Software. All rights reserved."},
    {IDS_ABOUT_MAKER, "Nemarro Software"},
    {IDS_PRODUCT_NAME, "Nemarro"},
    {IDS_VERSION_QUERY_URL, NEMARRO_SITE "/version/checkversion.php"},
    {IDS_PRODUCT_CODE, "27"},
    {IDS_INSTALL_PING_URL, NEMARRO_SITE "/azl/stat.php"},
};

#undef NEMARRO_SITE

} // namespace

QString loadString(int id) {
    for (const StringEntry& entry : kStrings) {
        if (entry.id == id)
            return QString::fromUtf8(entry.text);
    }
    return QString();
}
