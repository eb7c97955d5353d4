// The main window's own loops against the work itself, offscreen: the conversion loop
// (Start, the 50 ms encoder poll, the next job) over three-minute files to MP3 against
// ffmpeg called directly, the same loop without the check of each written file's length
// (what the check costs), and the probing worker behind Open File over small files
// against plain ffprobe calls, with the longest time the window's thread was kept from
// its event loop meanwhile and the window's resident memory once the files are in.
// Direct runs go before and after the window's (in rounds for the probing and the
// check), so a machine whose load changes weighs on both alike.
// Usage: window_bench [three-minute files (20)] [probed files (1000)]
#include "adding_files.h"
#include "destination.h"
#include "main_dlg.h"
#include "resident_memory.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

// Runs a program to its end with its output thrown away; true when it exited with 0.
bool runQuietly(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments);
    return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

double seconds(const QElapsedTimer& clock) { return double(clock.nsecsElapsed()) / 1e9; }

// CPU seconds (user and system) of every program this one has run and waited for so far,
// with the programs they waited for in turn (cv.dat's ffmpeg).
double childCpuSeconds() {
    rusage usage = {};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The longest gap between two turns of the window thread's event loop while it runs.
class BlockWatch {
public:
    BlockWatch() {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            m_longest = std::max(m_longest, now - m_last);
            m_last = now;
        });
    }
    void start() {
        m_clock.start();
        m_last = 0;
        m_longest = 0;
        m_timer.start();
    }
    double stopMs() {
        m_timer.stop();
        return double(m_longest) / 1e6;
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

struct Bench {
    QString ffmpeg;
    QString ffprobe;
    QTemporaryDir module;
    QTemporaryDir work;

    QStringList copies(const QString& source, const QString& stem, int count) {
        QStringList paths;
        for (int i = 0; i < count; ++i) {
            const QString path = work.filePath(QStringLiteral("%1%2.wav").arg(stem).arg(i, 4, 10, QLatin1Char('0')));
            QFile::copy(source, path);
            paths << path;
        }
        return paths;
    }
    QString tone(const QString& name, int length) {
        const QString path = work.filePath(name);
        runQuietly(ffmpeg, {"-nostdin", "-f", "lavfi", "-i",
                            QStringLiteral("sine=frequency=440:sample_rate=44100:duration=%1").arg(length),
                            "-ac", "2", "-y", path});
        return path;
    }
    // What cv.dat hands ffmpeg for the start profile, straight to ffmpeg.
    double convertDirectly(const QStringList& inputs, const QString& outFolder) {
        QElapsedTimer clock;
        clock.start();
        for (const QString& input : inputs) {
            const QString output = outFolder + QStringLiteral("/direct.mp3");
            if (!runQuietly(ffmpeg, {"-nostdin", "-hide_banner", "-i", input, "-vn", "-y", "-c:a",
                                     "libmp3lame", "-b:a", "128K", "-ar", "48000", "-ac", "2", output}))
                std::printf("  ffmpeg failed on %s\n", qPrintable(input));
            QFile::remove(output);
        }
        return seconds(clock);
    }
    double probeDirectly(const QStringList& inputs) {
        QElapsedTimer clock;
        clock.start();
        for (const QString& input : inputs)
            runQuietly(ffprobe, {"-show_format", "-show_streams", input});
        return seconds(clock);
    }
};

int countRows(CMainDlg& window, const QString& status) {
    int count = 0;
    QTreeWidget* list = window.jobList();
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        count += list->topLevelItem(row)->text(3) == status;
    return count;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    QApplication app(argc, argv);
    const int longFiles = argc > 1 ? std::atoi(argv[1]) : 20;
    const int probedFiles = argc > 2 ? std::atoi(argv[2]) : 1000;

    Bench bench;
    bench.ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    bench.ffprobe = QStandardPaths::findExecutable(QStringLiteral("ffprobe"));
    if (bench.ffmpeg.isEmpty() || bench.ffprobe.isEmpty()) {
        std::fprintf(stderr, "window_bench: needs ffmpeg and ffprobe on PATH\n");
        return 1;
    }
    // The window finds cv.dat and pb.dat beside the program it believes it is.
    const QString tools = QCoreApplication::applicationDirPath();
    for (const char* tool : {"cv.dat", "pb.dat"})
        QFile::link(tools + QLatin1Char('/') + QLatin1String(tool), bench.module.filePath(QLatin1String(tool)));
    const QString outFolder = bench.work.filePath(QStringLiteral("out"));
    QDir().mkpath(outFolder);
    int failures = 0;

    // 1. The conversion loop: Start until the window is idle again.
    const QStringList longInputs =
        longFiles > 0 ? bench.copies(bench.tone(QStringLiteral("long.wav"), 180), QStringLiteral("long"), longFiles)
                      : QStringList();
    if (longFiles > 0) {
        CMainDlg window(bench.module.path().toLocal8Bit().constData());
        window.show();
        QTest::qWait(1000);
        setOpenFileChooser([&longInputs](QWidget*) { return longInputs; });
        setFolderChooser([&outFolder](QWidget*, const QString&, QString* folder) {
            *folder = outFolder;
            return kFolderChosen;
        });
        window.button(CMainDlg::IDC_OPEN_FILE)->click();
        window.button(CMainDlg::IDC_BROWSE)->click();

        const double directBefore = bench.convertDirectly(longInputs.mid(0, longFiles / 2), outFolder);
        BlockWatch watch;
        // Start until idle again; the window's tools stay as they are.
        const auto convert = [&] {
            QElapsedTimer clock;
            clock.start();
            window.button(CMainDlg::IDC_START)->click();
            while (window.conversionState() == ConversionState::Converting)
                QTest::qWait(5);
            return seconds(clock);
        };
        watch.start();
        const double windowTime = convert();
        const double checkedBlock = watch.stopMs();
        const double directAfter = bench.convertDirectly(longInputs.mid(longFiles / 2), outFolder);
        const double direct = directBefore + directAfter;
        const int succeeded = countRows(window, QStringLiteral("Success!"));
        failures += longFiles - succeeded;
        std::printf("Conversion loop, %d three-minute stereo files to MP3: window %.2f s, ffmpeg "
                    "directly %.2f s, ratio %.3f (target <= 1.05); %d of %d rows \"Success!\"\n",
                    longFiles, windowTime, direct, windowTime / direct, succeeded, longFiles);
        std::fflush(stdout);

        // The check of each written file's length, on and off by turns: the rows hold
        // half the files, converted with the check, without, without, with.
        const QStringList half = longInputs.mid(0, std::max(1, longFiles / 2));
        setOpenFileChooser([&half](QWidget*) { return half; });
        window.button(CMainDlg::IDC_CLEAR)->click();
        window.button(CMainDlg::IDC_OPEN_FILE)->click();
        const QByteArray checker(window.conversionRun().checker.programPath);
        // Wall time is what the target is about; CPU time, which load from elsewhere hardly
        // changes, shows what pb.dat costs beside the encoder.
        double wall[2] = {0, 0};
        double cpu[2] = {0, 0};
        for (int turn = 0; turn < 4; ++turn) {
            const int check = turn == 0 || turn == 3 ? 1 : 0;
            std::snprintf(window.conversionRun().checker.programPath, kToolPathSize, "%s",
                          check ? checker.constData() : "");
            QDir(outFolder).removeRecursively();
            QDir().mkpath(outFolder);
            const double cpuBefore = childCpuSeconds();
            wall[check] += convert();
            cpu[check] += childCpuSeconds() - cpuBefore;
        }
        std::printf("Length check of each output, %d files twice each way: wall %.2f s with, "
                    "%.2f s without, cost %.2f %% (target <= 2 %%); CPU %.2f s with, %.2f s "
                    "without, cost %.2f %%; longest block of the window's thread while "
                    "converting %.1f ms\n",
                    int(half.size()), wall[1], wall[0], (wall[1] / wall[0] - 1) * 100, cpu[1],
                    cpu[0], (cpu[1] / cpu[0] - 1) * 100, checkedBlock);
        std::fflush(stdout);
        QDir(outFolder).removeRecursively();
        QDir().mkpath(outFolder);
        setOpenFileChooser(nullptr);
        setFolderChooser(nullptr);
    }

    // 2. The probing worker behind Open File, the window's thread watched meanwhile. The
    // files go in rounds of 100 (the list keeps growing to all of them), each round's
    // ffprobe calls just before or just after it, so that load from elsewhere on the
    // machine falls on both sides alike.
    const QStringList probed = bench.copies(bench.tone(QStringLiteral("short.wav"), 1),
                                            QStringLiteral("p"), probedFiles);
    {
        CMainDlg window(bench.module.path().toLocal8Bit().constData());
        window.show();
        QTest::qWait(1000); // painted once, as a window is long before the user adds files
        const long shownKib = residentKib();
        constexpr int kRound = 100;
        double windowTime = 0;
        double direct = 0;
        double longestBlock = 0;
        BlockWatch watch;
        for (int first = 0, round = 0; first < probedFiles; first += kRound, ++round) {
            const QStringList files = probed.mid(first, kRound);
            if (round % 2 == 1)
                direct += bench.probeDirectly(files);
            setOpenFileChooser([&files](QWidget*) { return files; });
            QElapsedTimer clock;
            clock.start();
            watch.start();
            window.button(CMainDlg::IDC_OPEN_FILE)->click();
            windowTime += seconds(clock);
            longestBlock = std::max(longestBlock, watch.stopMs());
            if (round % 2 == 0)
                direct += bench.probeDirectly(files);
        }
        // The same watch over an idle event loop: what the machine's own scheduling costs.
        watch.start();
        QTest::qWait(3000);
        const double idleBlock = watch.stopMs();
        const int added = window.jobList()->topLevelItemCount();
        failures += probedFiles - added;
        std::printf("Window's resident memory: %.1f MB shown and painted, %.1f MB with %d files "
                    "added (%.0f bytes a file)\n",
                    shownKib / 1024.0, residentKib() / 1024.0, added,
                    added > 0 ? (residentKib() - shownKib) * 1024.0 / added : 0.0);
        std::printf("Probing worker, %d one-second files: window %.2f s, ffprobe directly %.2f s, "
                    "ratio %.3f (target <= 0.3); %d rows added; longest block of the window's "
                    "thread %.1f ms (target < 50 ms; %.1f ms over an idle loop)\n",
                    probedFiles, windowTime, direct, windowTime / direct, added, longestBlock,
                    idleBlock);
        setOpenFileChooser(nullptr);
    }
    if (failures)
        std::printf("%d files failed\n", failures);
    return failures ? 1 : 0;
}
