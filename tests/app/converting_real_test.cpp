// End to end with the real cv.dat and pb.dat over the system's ffmpeg: real audio files
// (one name with a blank, one with letters beyond ASCII) added through Open File,
// converted to MP3 and FLAC into a chosen folder, and converted again without
// overwriting anything; paths up to the longest allowed; a trimmed range under a
// decimal-comma locale.
#include "window_fixture.h"

#include "adding_files.h"
#include "catalogue.h"
#include "destination.h"
#include "encoder_progress.h"
#include "job_list.h"
#include "media_probe.h"
#include "scratch_folder.h"
#include "tool_process.h"

#include <QClipboard>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <clocale>
#include <cstring>
#include <functional>

namespace {

bool runProgram(const QString& program, const QStringList& arguments, QByteArray* output = nullptr) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return false;
    if (output != nullptr)
        *output = process.readAllStandardOutput();
    return process.exitCode() == 0;
}

// ffprobe's view of a file: "format_name=...\nduration=..." or empty when unreadable.
QString probe(const QString& path) {
    QByteArray output;
    if (!runProgram(QStringLiteral("ffprobe"),
                    {"-v", "error", "-show_entries", "format=format_name,duration", "-of",
                     "default=noprint_wrappers=1", path},
                    &output))
        return {};
    return QString::fromUtf8(output).trimmed();
}

double probedDuration(const QString& report) {
    for (const QString& line : report.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("duration=")))
            return line.mid(9).toDouble();
    }
    return -1;
}

QByteArray digest(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

class RealToolsTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty() ||
            QStandardPaths::findExecutable(QStringLiteral("ffprobe")).isEmpty())
            GTEST_SKIP() << "ffmpeg and ffprobe are needed for the end-to-end tests";
        ASSERT_TRUE(m_module.isValid() && m_sources.isValid() && m_output.isValid());
        // The program looks for its tools beside itself.
        for (const char* tool : {"cv.dat", "pb.dat"}) {
            ASSERT_TRUE(QFile::link(QStringLiteral(TOOLS_FOLDER "/") + tool, m_module.filePath(tool)));
        }
        m_window = std::make_unique<CMainDlg>(m_module.path().toLocal8Bit().constData());
        m_window->show();
        setFolderChooser([this](QWidget*, const QString&, QString* folder) {
            *folder = m_output.path();
            return kFolderChosen;
        });
    }
    void TearDown() override {
        m_window.reset();
        clearJobs();
        setOpenFileChooser(nullptr);
        setFolderChooser(nullptr);
        currentProfile = findProfile(kGeneralAudioCategory, "MP3 - MPEG Layer-3 Audio");
    }

    QString makeAudio(const QString& name, const char* seconds) {
        const QString path = QDir::isAbsolutePath(name) ? name : m_sources.filePath(name);
        EXPECT_TRUE(runProgram(QStringLiteral("ffmpeg"),
                               {"-v", "error", "-nostdin", "-f", "lavfi", "-i",
                                QStringLiteral("sine=frequency=440:duration=%1").arg(seconds), "-ac", "2",
                                "-ar", "44100", path}))
            << name.toStdString();
        return path;
    }
    void convertAll() {
        m_window->button(CMainDlg::IDC_START)->click();
        ASSERT_EQ(m_window->conversionState(), ConversionState::Converting);
        ASSERT_TRUE(waitUntil(
            [this] { return m_window->conversionState() == ConversionState::Idle; }, 120000));
    }
    QStringList statuses() const {
        QStringList texts;
        QTreeWidget* list = m_window->jobList();
        for (int row = 0; row < list->topLevelItemCount(); ++row)
            texts << list->topLevelItem(row)->text(kColumnStatus);
        return texts;
    }
    void useProfile(int category, const char* name) {
        currentProfile = findProfile(category, name);
        ASSERT_NE(currentProfile, nullptr) << name;
        refreshAllRows(m_window.get());
    }

    QTemporaryDir m_module;
    QTemporaryDir m_sources;
    QTemporaryDir m_output;
    std::unique_ptr<CMainDlg> m_window;
};

TEST_F(RealToolsTest, ThreeFilesToMp3AndFlacAndAgainWithoutOverwriting) {
    const QStringList names = {QStringLiteral("plain.wav"), QStringLiteral("with blank.ogg"),
                               QStringLiteral("Grüße café ñ.flac")};
    const QStringList bases = {QStringLiteral("plain"), QStringLiteral("with blank"),
                               QStringLiteral("Grüße café ñ")};
    QStringList sources;
    for (const QString& name : names)
        sources << makeAudio(name, "3");
    setOpenFileChooser([sources](QWidget*) { return sources; });
    m_window->button(CMainDlg::IDC_OPEN_FILE)->click();
    ASSERT_EQ(m_window->jobList()->topLevelItemCount(), 3);
    EXPECT_EQ(statuses(), QStringList({"Ready", "Ready", "Ready"}));
    EXPECT_EQ(m_window->jobList()->topLevelItem(1)->text(kColumnFileName), bases[1]);
    EXPECT_EQ(m_window->jobList()->topLevelItem(2)->text(kColumnFileName), bases[2]);

    m_window->button(CMainDlg::IDC_BROWSE)->click();
    ASSERT_EQ(QString::fromLocal8Bit(m_window->selectedFolder()), m_output.path());

    // MP3, the profile the program starts with.
    convertAll();
    EXPECT_EQ(statuses(), QStringList({"Success!", "Success!", "Success!"}));
    QList<QByteArray> firstRun;
    for (const QString& base : bases) {
        const QString output = m_output.filePath(base + ".mp3");
        const QString report = probe(output);
        EXPECT_TRUE(report.contains(QLatin1String("format_name=mp3"))) << report.toStdString();
        EXPECT_NEAR(probedDuration(report), 3.0, 0.2) << output.toStdString();
        firstRun << digest(output);
    }

    // FLAC.
    useProfile(kLosslessAudioCategory, "FLAC - Free Lossless Audio Codec");
    convertAll();
    EXPECT_EQ(statuses(), QStringList({"Success!", "Success!", "Success!"}));
    for (const QString& base : bases) {
        const QString report = probe(m_output.filePath(base + ".flac"));
        EXPECT_TRUE(report.contains(QLatin1String("format_name=flac"))) << report.toStdString();
        EXPECT_NEAR(probedDuration(report), 3.0, 0.2);
    }

    // MP3 again: new names beside the first outputs, which stay as they were.
    useProfile(kGeneralAudioCategory, "MP3 - MPEG Layer-3 Audio");
    convertAll();
    EXPECT_EQ(statuses(), QStringList({"Success!", "Success!", "Success!"}));
    for (qsizetype i = 0; i < bases.size(); ++i) {
        EXPECT_EQ(digest(m_output.filePath(bases[i] + ".mp3")), firstRun[i]);
        const QString report = probe(m_output.filePath(bases[i] + "(0).mp3"));
        EXPECT_TRUE(report.contains(QLatin1String("format_name=mp3"))) << report.toStdString();
    }
    EXPECT_EQ(QDir(m_output.path()).entryList(QDir::Files | QDir::Hidden).size(), 9);
    // The sources are untouched.
    for (const QString& source : sources)
        EXPECT_NEAR(probedDuration(probe(source)), 3.0, 0.2);
}

TEST_F(RealToolsTest, BesideTheSourceWhenSameFolderIsChosen) {
    const QString source = makeAudio(QStringLiteral("beside me.wav"), "2");
    setOpenFileChooser([source](QWidget*) { return QStringList{source}; });
    m_window->button(CMainDlg::IDC_OPEN_FILE)->click();
    m_window->destinationCombo()->setCurrentIndex(1);
    ASSERT_STREQ(m_window->selectedFolder(), "");
    convertAll();
    EXPECT_EQ(statuses(), QStringList({"Success!"}));
    EXPECT_TRUE(probe(m_sources.filePath("beside me.mp3")).contains(QLatin1String("format_name=mp3")));
}

TEST_F(RealToolsTest, AFileFfprobeCannotReadIsLeftOut) {
    QFile text(m_sources.filePath("notes.mp3"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not audio at all\n");
    text.close();
    const QString good = makeAudio(QStringLiteral("good.wav"), "1");
    setOpenFileChooser([this, good](QWidget*) { return QStringList{m_sources.filePath("notes.mp3"), good}; });
    m_window->button(CMainDlg::IDC_OPEN_FILE)->click();
    ASSERT_EQ(m_window->jobList()->topLevelItemCount(), 1);
    EXPECT_EQ(m_window->jobList()->topLevelItem(0)->text(kColumnFileName), "good");
    EXPECT_EQ(m_window->jobList()->topLevelItem(0)->text(kColumnDuration), "00:00:01.00");
}

// Paths as music libraries have them, deep folders with names beyond ASCII, added
// through Open File: sources of about 350 and 1,000 bytes and of the longest length a
// path may have, into a destination of about 400 bytes and into the longest one the
// output path allows. A source or an output path one byte longer is refused, and
// nothing is written.
TEST_F(RealToolsTest, LongPathsConvertAndOnesOverTheLimitAreRefusedWithNothingWritten) {
    constexpr std::size_t kName = sizeof("/Симфония №5.wav") - 1;
    constexpr std::size_t kOutputName = sizeof("/Симфония №5.mp3") - 1;
    struct Case {
        std::size_t source;      // bytes of the source's path
        std::size_t destination; // bytes of the chosen folder's path
        const char* status;      // nullptr: no row is added
    };
    const Case cases[] = {
        {350, 400, "Success!"},
        {1000, 400, "Success!"},
        {kPathSize - 1, 400, "Success!"},
        {kPathSize, 400, nullptr},
        {350, kPathSize - 1 - kOutputName, "Success!"},
        {350, kPathSize - kOutputName, "FATAL!"},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "source " << c.source << ", destination " << c.destination);
        const std::string root = std::to_string(index++);
        ASSERT_TRUE(QDir(m_sources.path()).mkdir(QString::fromStdString(root)));
        ASSERT_TRUE(QDir(m_output.path()).mkdir(QString::fromStdString(root)));
        const std::string sourceFolder = makeDeepFolder(
            m_sources.filePath(QString::fromStdString(root)).toStdString(), c.source - kName, "Чайковский ");
        const std::string outputFolder = makeDeepFolder(
            m_output.filePath(QString::fromStdString(root)).toStdString(), c.destination, "交響曲");
        ASSERT_FALSE(sourceFolder.empty() || outputFolder.empty());
        const QString source = QString::fromStdString(sourceFolder) + QStringLiteral("/Симфония №5.wav");
        const QString output = QString::fromStdString(outputFolder);
        if (c.source < kPathSize) // a longer path cannot be created by its name
            makeAudio(source, "1");

        m_window->button(CMainDlg::IDC_CLEAR)->click();
        setFolderChooser([output](QWidget*, const QString&, QString* folder) {
            *folder = output;
            return kFolderChosen;
        });
        m_window->button(CMainDlg::IDC_BROWSE)->click();
        ASSERT_EQ(QString::fromLocal8Bit(m_window->selectedFolder()), output);
        setOpenFileChooser([source](QWidget*) { return QStringList{source}; });
        m_window->button(CMainDlg::IDC_OPEN_FILE)->click();
        if (c.status == nullptr) {
            EXPECT_EQ(m_window->jobList()->topLevelItemCount(), 0);
            EXPECT_EQ(jobCount(), 0);
        } else {
            ASSERT_EQ(m_window->jobList()->topLevelItemCount(), 1);
            EXPECT_EQ(m_window->jobList()->topLevelItem(0)->text(kColumnFileName), "Симфония №5");
            m_window->button(CMainDlg::IDC_START)->click(); // a row that cannot start stays idle
            ASSERT_TRUE(waitUntil(
                [this] { return m_window->conversionState() == ConversionState::Idle; }, 60000));
            EXPECT_EQ(statuses(), QStringList({c.status}));
        }
        const QStringList written = QDir(output).entryList(QDir::Files | QDir::Hidden);
        if (c.status != nullptr && std::strcmp(c.status, "Success!") == 0) {
            EXPECT_EQ(written, QStringList({"Симфония №5.mp3"}));
            const QString report = probe(output + QStringLiteral("/Симфония №5.mp3"));
            EXPECT_TRUE(report.contains(QLatin1String("format_name=mp3"))) << report.toStdString();
            EXPECT_NEAR(probedDuration(report), 1.0, 0.2);
        } else {
            EXPECT_TRUE(written.isEmpty()) << written.join(' ').toStdString();
        }
    }
}

// Run by the "converting_real_under_de_DE" test with LANG and LC_ALL set to de_DE.UTF-8,
// whose decimal comma the toolkit takes over into the C library's locale at start-up.
TEST_F(RealToolsTest, ATrimmedRangeConvertsWithDecimalPointsUnderACommaLocale) {
    if (std::strcmp(std::localeconv()->decimal_point, ",") != 0)
        GTEST_SKIP() << "runs under a decimal-comma locale only";
    const QString source = makeAudio(QStringLiteral("tone.wav"), "5");
    setOpenFileChooser([source](QWidget*) { return QStringList{source}; });
    m_window->button(CMainDlg::IDC_OPEN_FILE)->click();
    ASSERT_EQ(m_window->jobList()->topLevelItemCount(), 1);
    QTreeWidgetItem* row = m_window->jobList()->topLevelItem(0);
    EXPECT_EQ(row->text(kColumnDuration), "00:00:05.00");
    EXPECT_EQ(row->text(kColumnOutputSize), "0.1MB");

    jobAt(0)->trimStart = 1.5;
    jobAt(0)->trimEnd = 3.25;
    refreshAllRows(m_window.get());
    EXPECT_EQ(row->text(kColumnFileName), "tone[00:00:01.50 - 00:00:03.25]");
    EXPECT_EQ(row->text(kColumnDuration), "00:00:01.75");
    m_window->button(CMainDlg::IDC_BROWSE)->click();
    convertAll();
    EXPECT_EQ(statuses(), QStringList({"Success!"}));
    // "-ss 1,500000 -t 1,750000" would have been refused by ffmpeg.
    EXPECT_NEAR(probedDuration(probe(m_output.filePath("tone.mp3"))), 1.75, 0.1);
}

// Ways a row can end without its file, a value the encoder had to change, and a folder
// whose name holds a double quote: the status text stays as specified, the status cell's
// tooltip says why.
TEST_F(RealToolsTest, TheStatusCellsTooltipSaysWhy) {
    struct Case {
        const char* name;
        std::function<void(const QString& source)> arrange;
        const char* status;
        QString reason;
    };
    ConversionProfile* ac3 = findProfile(kGeneralAudioCategory, "AC3 - Dolby Digital AC-3");
    ASSERT_NE(ac3, nullptr);
    const int ac3Rate = ac3->audioCodecs[0].sampleRateIndex;
    const QString quoted = m_output.filePath(QStringLiteral("say \"when\""));
    ASSERT_TRUE(QDir().mkpath(quoted));
    const Case cases[] = {
        {"adjusted rate",
         [&](const QString&) {
             ac3->audioCodecs[0].sampleRateIndex = 7; // 96000 Hz, which AC-3 cannot write
             useProfile(kGeneralAudioCategory, "AC3 - Dolby Digital AC-3");
         },
         "Success!", QStringLiteral("ac3 cannot write 96000 Hz: wrote 48000 Hz")},
        {"ffmpeg failure", [](const QString& source) { QFile::remove(source); }, "Failed!",
         QStringLiteral(": No such file or directory")},
        // Linux names may hold a double quote: the encoder gets the folder whole.
        {"folder with a double quote",
         [&](const QString&) {
             setFolderChooser([&](QWidget*, const QString&, QString* folder) {
                 *folder = quoted;
                 return kFolderChosen;
             });
             m_window->button(CMainDlg::IDC_BROWSE)->click();
         },
         "Success!", QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString source = makeAudio(QStringLiteral("%1.wav").arg(c.name), "1");
        setOpenFileChooser([source](QWidget*) { return QStringList{source}; });
        m_window->button(CMainDlg::IDC_CLEAR)->click();
        m_window->button(CMainDlg::IDC_OPEN_FILE)->click();
        ASSERT_EQ(m_window->jobList()->topLevelItemCount(), 1);
        c.arrange(source);
        m_window->button(CMainDlg::IDC_START)->click(); // a row that cannot start stays idle
        ASSERT_TRUE(waitUntil(
            [this] { return m_window->conversionState() == ConversionState::Idle; }, 60000));
        const QTreeWidgetItem* row = m_window->jobList()->topLevelItem(0);
        EXPECT_EQ(row->text(kColumnStatus), c.status);
        EXPECT_TRUE(row->toolTip(kColumnStatus).contains(c.reason)) << row->toolTip(kColumnStatus).toStdString();
        m_window->copyJobDetails(0);
        const QString reason = row->toolTip(kColumnStatus);
        EXPECT_EQ(QGuiApplication::clipboard()->text(),
                  source + "\n" + c.status + (reason.isEmpty() ? QString() : "\n" + reason));
        ac3->audioCodecs[0].sampleRateIndex = ac3Rate;
    }
}

} // namespace
