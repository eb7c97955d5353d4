// The string table: the exact texts the windows show, and addresses that stay under our host.
#include <QUrl>

#include <gtest/gtest.h>

#include "string_table.h"

namespace {

struct Expected {
    int id;
    const char* text;
};

TEST(StringTable, TextsShownByTheWindowsAreExact) {
    const Expected table[] = {
        {101, "&About Nemarro..."},
        {20103, "1.7.29"},
        {20104, "Find new version,update or not?"},
        {20108, "The path is read-only. Please select a new one."},
        {20109, "Please stop ripping first and try again.\n\nDo you want to stop now?"},
        {20110, "Reading File Info ,please wait..."},
        {21001, "About Nemarro"},
        {21002, "Nemarro - 1.7.29"},
        {25003, "Nemarro"},
        {25007, "27"},
    };
    for (const Expected& e : table)
        EXPECT_EQ(loadString(e.id), QString::fromUtf8(e.text)) << e.id;
}

TEST(StringTable, OwnWordingIsPresent) {
    EXPECT_TRUE(loadString(IDS_ABOUT_COPYRIGHT).contains("Nemarro"));
    EXPECT_FALSE(loadString(IDS_ABOUT_MAKER).isEmpty());
}

TEST(StringTable, AddressesAreWellFormedAndUnderTheReservedDomain) {
    for (int id : {IDS_HOME_PAGE, IDS_WEB_PAGE, IDS_VERSION_QUERY_URL, IDS_INSTALL_PING_URL}) {
        const QUrl url(loadString(id), QUrl::StrictMode);
        ASSERT_TRUE(url.isValid()) << id;
        EXPECT_EQ(url.scheme(), "https") << id;
        EXPECT_TRUE(url.host().endsWith(".example")) << id;
        EXPECT_TRUE(url.query().isEmpty()) << id; // the query is added by the caller
    }
    EXPECT_EQ(QUrl(loadString(IDS_VERSION_QUERY_URL)).path(), "/version/checkversion.php");
    EXPECT_EQ(QUrl(loadString(IDS_INSTALL_PING_URL)).path(), "/azl/stat.php");
}

TEST(StringTable, IdsWithoutStringGiveTheEmptyText) {
    // The buttons' and labels' control ids must stay free: a string there would become a tooltip.
    for (int id : {0, -1, 100, 102, 1000, 1001, 1013, 1014, 1015, 1018, 1019, 1033, 1035, 20102,
                   65535})
        EXPECT_TRUE(loadString(id).isEmpty()) << id;
}

} // namespace
