// The shared fixture of the converting tests.
#include "window_fixture.h"

#include "adding_files.h"
#include "catalogue.h"
#include "destination.h"
#include "conversion_run.h"
#include "job_list.h"
#include "media_probe.h"
#include "shell_open.h"
#include "tool_process.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTest>
#include <QTreeWidget>

#include <cstdio>
#include <cstdlib>

bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QTest::qWait(5);
    }
    return true;
}

ModalWatcher::ModalWatcher(std::function<void(QWidget*)> whileOpen)
    : m_whileOpen(std::move(whileOpen)) {
    m_timer.setInterval(5);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
    m_timer.start();
}

void ModalWatcher::poll() {
    QWidget* open = QApplication::activeModalWidget();
    if (open == nullptr || open->inherits("CMainDlg"))
        return;
    m_timer.stop();
    m_seen = true;
    m_whileOpen(open);
}

SeenBox describe(const QMessageBox* box) {
    SeenBox seen;
    if (box == nullptr)
        return seen;
    seen.title = box->windowTitle();
    seen.text = box->text();
    seen.buttons = int(box->standardButtons());
    seen.icon = int(box->icon());
    return seen;
}

void WindowTest::SetUp() {
    ASSERT_FALSE(m_module.path().empty());
    qunsetenv("NEMARRO_FAKE_SCRIPT");
    m_window = std::make_unique<CMainDlg>(m_module.path().c_str());
    std::snprintf(g_probeProcess.programPath, sizeof g_probeProcess.programPath, "%s",
                  fakeToolPath().c_str());
    ToolProcess& encoder = m_window->conversionRun().encoder;
    std::snprintf(encoder.programPath, sizeof encoder.programPath, "%s", fakeToolPath().c_str());
    setOpenFileChooser([this](QWidget*) {
        m_chooserCalls << QStringLiteral("open");
        if (m_chooserAnswers.empty())
            return QStringList();
        QStringList answer = m_chooserAnswers.front();
        m_chooserAnswers.erase(m_chooserAnswers.begin());
        return answer;
    });
    m_window->show();
}

void WindowTest::TearDown() {
    m_watchers.clear();
    // A run still going is asked to stop and allowed to end, so no encoder outlives the test.
    if (m_window && m_window->conversionState() == ConversionState::Converting) {
        requestStop(&m_window->conversionRun());
        waitUntil([this] { return m_window->conversionState() == ConversionState::Idle; }, 5000);
    }
    // A window closed during a run let its encoder go on: it ends before the next test.
    if (m_window) {
        while (pollRun(&m_window->conversionRun()) == 0) {
        }
    }
    m_window.reset();
    clearJobs();
    setOpenFileChooser(nullptr);
    setFolderChooser(nullptr);
    setShellOpener(nullptr);
    qunsetenv("NEMARRO_FAKE_SCRIPT");
}

QString WindowTest::cell(int row, int col) const {
    QTreeWidgetItem* item = m_window->jobList()->topLevelItem(row);
    return item == nullptr ? QStringLiteral("<no row>") : item->text(col);
}

QStringList WindowTest::column(int col) const {
    QStringList texts;
    for (int row = 0; row < rowCount(); ++row)
        texts << cell(row, col);
    return texts;
}

int WindowTest::rowCount() const { return m_window->jobList()->topLevelItemCount(); }

std::string WindowTest::mediaFile(const std::string& folder, const std::string& name,
                                  double seconds, int probeDelayMs) {
    std::string script;
    if (probeDelayMs > 0)
        script += "sleep " + std::to_string(probeDelayMs) + "\n";
    if (seconds < 0) {
        script += "err not a media file\\n\nexit 1\n";
    } else {
        char line[128];
        std::snprintf(line, sizeof line, "out [FORMAT]\\nduration=%.6f\\n[/FORMAT]\\n\n", seconds);
        script += line;
    }
    return writeFile(folder + "/" + name, script);
}

void WindowTest::openFiles(const std::vector<std::string>& paths) {
    QStringList answer;
    for (const std::string& path : paths)
        answer << QString::fromStdString(path);
    m_chooserAnswers.push_back(answer);
    button(CMainDlg::IDC_OPEN_FILE)->click();
}

ConversionJob* WindowTest::addJob(const std::string& path, double seconds) {
    ConversionJob* job = createJob(path.c_str(), seconds, currentProfile);
    EXPECT_NE(job, nullptr);
    if (job == nullptr)
        return nullptr;
    appendJob(job);
    renumberRows();
    setDestinationForAll(m_window->selectedFolder());
    auto* item = new QTreeWidgetItem(
        QStringList{QString::fromLocal8Bit(job->sourceBaseName), QString::fromLocal8Bit(job->durationText),
                    QString::fromLocal8Bit(job->sizeText), QStringLiteral("Ready")});
    m_window->jobList()->addTopLevelItem(item);
    m_window->jobList()->show();
    return job;
}

void WindowTest::encoderScript(const std::string& script) {
    // Like ffmpeg, the stand-in creates its output file first.
    const std::string path = writeFile(m_scripts.file("encoder.txt"), "output fake\n" + script);
    qputenv("NEMARRO_FAKE_SCRIPT", QByteArray::fromStdString(path));
}

void WindowTest::waitForIdle(int timeoutMs) {
    EXPECT_TRUE(waitUntil(
        [this] { return m_window->conversionState() == ConversionState::Idle; }, timeoutMs));
}
