// The small files beside the executable: "install.date" written once, installTime read
// unless "install" exists.
#include "startup_files.h"

#include <QDir>
#include <QFile>
#include <QDateTime>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

class StartupFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_folder.isValid());
        composeStartupFiles(m_folder.path());
    }
    void write(const QString& path, const QByteArray& content) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QByteArray read(const QString& path) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }
    std::string readTime() {
        readInstallTime(installDateFile, installMarkerFile, installTime);
        return installTime;
    }

    QTemporaryDir m_folder;
};

TEST_F(StartupFilesTest, PathsLieInTheFolder) {
    EXPECT_EQ(installDateFile, m_folder.path() + "/install.date");
    EXPECT_EQ(installMarkerFile, m_folder.path() + "/install");
    EXPECT_EQ(versionFile, m_folder.path() + "/version");
}

TEST_F(StartupFilesTest, FilesStayBesideAWritableProgramElseGoToTheUsersDataFolder) {
    const QByteArray savedDataHome = qgetenv("XDG_DATA_HOME");
    const QString dataHome = m_folder.path() + "/data";
    qputenv("XDG_DATA_HOME", dataHome.toLocal8Bit());
    write(m_folder.path() + "/plain", "");
    struct Case {
        QString moduleFolder;
        QString expected;
    };
    // A folder nobody can create a file in stands for a system-wide one (tests may run as
    // root, who may write anywhere).
    const Case cases[] = {
        {m_folder.path(), m_folder.path()},
        {m_folder.path() + "/missing", dataHome + "/nemarro"},
        {m_folder.path() + "/plain", dataHome + "/nemarro"},
        {QString(), dataHome + "/nemarro"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(chooseStartupFilesFolder(c.moduleFolder), c.expected)
            << c.moduleFolder.toStdString();
    }
    EXPECT_TRUE(QFileInfo(dataHome + "/nemarro").isDir());
    EXPECT_EQ(QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"plain"}));

    // A later start finds "install.date" where the first one wrote it, beside the program
    // before the data folder, and creates no file to test either: both folders keep their
    // time of change.
    write(dataHome + "/nemarro/install.date", "1");
    EXPECT_EQ(chooseStartupFilesFolder(m_folder.path() + "/missing"), dataHome + "/nemarro");
    write(m_folder.path() + "/install.date", "1");
    const timespec past[2] = {{1000000000, 0}, {1000000000, 0}};
    for (const QString& folder : {m_folder.path(), dataHome + "/nemarro"}) {
        ASSERT_EQ(utimensat(AT_FDCWD, QFile::encodeName(folder).constData(), past, 0), 0);
    }
    EXPECT_EQ(chooseStartupFilesFolder(m_folder.path()), m_folder.path());
    EXPECT_EQ(chooseStartupFilesFolder(m_folder.path() + "/plain"), dataHome + "/nemarro");
    for (const QString& folder : {m_folder.path(), dataHome + "/nemarro"}) {
        EXPECT_EQ(QFileInfo(folder).lastModified().toSecsSinceEpoch(), 1000000000) << folder.toStdString();
    }

    // Nowhere to write at all: the program's folder, to read the files from.
    qputenv("XDG_DATA_HOME", (m_folder.path() + "/plain/data").toLocal8Bit());
    EXPECT_EQ(chooseStartupFilesFolder(m_folder.path() + "/missing"), m_folder.path() + "/missing");
    if (savedDataHome.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", savedDataHome);
}

TEST_F(StartupFilesTest, FirstStartWritesDigitsOnlyAndLaterStartsKeepThem) {
    EXPECT_TRUE(writeInstallDateOnce(installDateFile, 1733616000));
    EXPECT_EQ(read(installDateFile), QByteArray("1733616000"));
    EXPECT_FALSE(writeInstallDateOnce(installDateFile, 1999999999));
    EXPECT_EQ(read(installDateFile), QByteArray("1733616000"));
    EXPECT_EQ(readTime(), "1733616000");
}

TEST_F(StartupFilesTest, AnExistingFileIsNeverReplaced) {
    write(installDateFile, "");
    EXPECT_FALSE(writeInstallDateOnce(installDateFile, 1733616000));
    EXPECT_EQ(read(installDateFile), QByteArray());
    EXPECT_EQ(readTime(), "");
}

TEST_F(StartupFilesTest, DanglingLinkCountsAsExisting) {
    const QString elsewhere = m_folder.path() + "/elsewhere";
    ASSERT_TRUE(QFile::link(elsewhere, installDateFile));
    EXPECT_FALSE(writeInstallDateOnce(installDateFile, 1733616000));
    EXPECT_FALSE(QFile::exists(elsewhere));
}

TEST_F(StartupFilesTest, MarkerKeepsInstallTimeEmpty) {
    write(installDateFile, "1733616000");
    write(installMarkerFile, "");
    EXPECT_EQ(readTime(), "");
}

TEST_F(StartupFilesTest, MissingOrUnreadableDateGivesEmptyTime) {
    EXPECT_EQ(readTime(), "");
    ASSERT_TRUE(QDir().mkdir(installDateFile));
    EXPECT_EQ(readTime(), "");
}

TEST_F(StartupFilesTest, SixtyThreeCharactersFitAndSixtyFourAreRefused) {
    const QByteArray fits(63, '7');
    write(installDateFile, fits);
    EXPECT_EQ(readTime(), fits.toStdString());
    write(installDateFile, QByteArray(64, '7'));
    EXPECT_EQ(readTime(), "");
}

TEST_F(StartupFilesTest, WriteIntoAMissingFolderFailsQuietly) {
    EXPECT_FALSE(writeInstallDateOnce(m_folder.path() + "/no/such/install.date", 1));
}

} // namespace
