// The conversion loop of the main window: Start and Stop, the walk down the job list,
// the two timers that watch the encoder, the verdict per job and the close request.
#include "conversion_control.h"

#include "bitmap_slider.h"
#include "classic_numbers.h"
#include "encoder_command_line.h"
#include "encoder_progress.h"
#include "job_list.h"
#include "job_note.h"
#include "main_dlg.h"
#include "string_table.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>

#include <atomic>
#include <cmath>

namespace {

// Different names on every try, so that a clash with any file (a left-over test file
// of a crashed run, or anything of the user's) only means trying the next name.
QString writeTestName(const QString& folder) {
    static std::atomic<unsigned> counter{0};
    return folder + QStringLiteral(".nemarro-write-test-%1-%2.tmp")
                        .arg(QCoreApplication::applicationPid())
                        .arg(counter.fetch_add(1));
}

} // namespace

bool folderIsWritable(const char* folder) {
    QString base = QFile::decodeName(folder);
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    constexpr int kTries = 16;
    for (int attempt = 0; attempt < kTries; ++attempt) {
        const QString name = writeTestName(base);
        QFile probe(name);
        if (probe.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            probe.close();
            probe.remove();
            return true;
        }
        const QFileInfo existing(name);
        if (!existing.exists() && !existing.isSymLink())
            return false; // not a name clash: the folder refuses new files
    }
    return false;
}

bool outputFileFilled(const ConversionJob& job) {
    char path[kPathSize];
    if (lastOutputPath(job, path) != kBuildDone)
        return false;
    const QFileInfo output(QFile::decodeName(path));
    return output.isFile() && output.size() > 0;
}

bool conversionSucceeded(double percent, bool exitedCleanly) {
    if (!exitedCleanly)
        return false;
    return percent >= kSuccessPercent || std::isnan(percent);
}

void CMainDlg::onStart() {
    // A second encoder must never start over a running one.
    if (m_state == ConversionState::Converting)
        return;
    followRunStarted();
    if (startNextJob(g_jobList.head) != 0) {
        followRunEnded();
        return;
    }
    setConversionState(ConversionState::Converting);
}

// 0: an encoder runs for `job` or a later one; 1: no job was left to start; 2: an
// output folder cannot be written, the run stops there.
int CMainDlg::startNextJob(ConversionJob* job) {
    for (; job != nullptr; job = job->next) {
        resetEncoderProgress(&g_encoderProgress);
        clearToolRun(&g_encoderProcess);

        char folder[kPathSize];
        if (outputFolder(*job, folder) == kBuildDone) {
            if (!folderIsWritable(folder)) {
                QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Error"),
                                loadString(IDS_READ_ONLY_PATH) + QLatin1Char('\n') +
                                    QString::fromLocal8Bit(folder),
                                QMessageBox::Ok, this);
                box.exec();
                return 2;
            }
            g_encoderProgress.job = job;
            beginJobNote(job, &g_encoderNoteReader);
            showJobNote(*job);
            // A refused command line (a path that does not fit or cannot be quoted) is
            // never started, like a missing encoder.
            const bool composed =
                g_encoderProcess.handlers->prepare(&g_encoderProcess) == kBuildDone;
            if (composed && startTool(&g_encoderProcess) != 0) {
                m_pollEncoderTimer.start(kPollEncoderPeriod);
                m_progressTimer.start(kProgressPeriod);
                followJobStarted(*job);
                return 0;
            }
            noteStartFailure(job, composed ? StartFailure::NotStarted : StartFailure::CommandRefused,
                             g_encoderProcess.programPath);
        } else {
            noteStartFailure(job, StartFailure::CommandRefused, g_encoderProcess.programPath);
        }
        setCellText(job->row, kColumnStatus, "FATAL!");
        showJobNote(*job);
        followJobEnded(*job, false);
    }
    resetEncoderProgress(&g_encoderProgress);
    return 1;
}

void CMainDlg::onPollEncoder() {
    if (pollTool(&g_encoderProcess) == 0)
        return;
    m_pollEncoderTimer.stop();
    m_progressTimer.stop();
    g_encoderProcess.handlers->finish(&g_encoderProcess);
    clearToolRun(&g_encoderProcess);

    ConversionJob* job = g_encoderProgress.job;
    const double percent = progressPercent(&g_encoderProgress);
    if (job != nullptr) {
        // An encoder can end cleanly on a file that is gone (its folder was removed).
        const bool success = conversionSucceeded(percent, toolExitedCleanly(&g_encoderProcess)) &&
                             outputFileFilled(*job);
        setCellText(job->row, kColumnStatus, success ? "Success!" : "Failed!");
        finishJobNote(job, &g_encoderNoteReader, &g_encoderProcess, percent, success);
        showJobNote(*job);
        followJobEnded(*job, success);
    }
    if (m_stopRequested != 0 || job == nullptr || startNextJob(job->next) != 0) {
        m_stopRequested = 0;
        setConversionState(ConversionState::Idle);
        followRunEnded();
    }
}

void CMainDlg::onProgress() {
    ConversionJob* job = g_encoderProgress.job;
    if (job == nullptr)
        return;
    const float percent = static_cast<float>(progressPercent(&g_encoderProgress));
    char text[32];
    printClassic(text, sizeof text, "%05.2f%%", static_cast<double>(percent)); // "39.71%" in any locale
    setCellText(job->row, kColumnStatus, text);
    followProgress(static_cast<double>(percent));
    if (percent == 0.0f || std::isnan(percent))
        return;
    // Hundredths of a percent; clamped before the conversion, which would be undefined
    // for a value beyond int.
    const double scaled = static_cast<double>(percent) * 100.0;
    const int maximum = m_progress->GetRangeMax();
    const int minimum = m_progress->GetRangeMin();
    int position = minimum;
    if (scaled >= maximum)
        position = maximum;
    else if (scaled > minimum)
        position = static_cast<int>(scaled);
    m_progress->SetPos(position);
}

void CMainDlg::onStop() {
    if (m_state != ConversionState::Converting)
        return;
    // The encoder closes its file and ends; the poll timer then finishes the job and,
    // seeing the request, starts no other.
    sendQuit(&g_encoderProcess);
    m_stopRequested = 1;
}

// False when the user chose to let the running conversion go on.
bool CMainDlg::closeRequest() {
    if (m_state == ConversionState::Converting) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("!Waring!"), loadString(IDS_STOP_FIRST),
                        QMessageBox::Yes | QMessageBox::No, this,
                        Qt::Dialog | Qt::WindowStaysOnTopHint);
        if (box.exec() != QMessageBox::Yes) {
            m_closeAllowed = 0;
            return false;
        }
        // The encoder is asked to quit and finishes its file on its own; nobody waits.
        sendQuit(&g_encoderProcess);
        m_stopRequested = 1;
    }
    return true;
}
