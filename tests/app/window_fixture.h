// What the converting tests share: the main window with the fake prober and encoder, media
// stand-ins the fake prober answers for, waiting on the event loop, and answering the
// dialogs that open.
#pragma once

#include "fake_support.h"
#include "main_dlg.h"

#include <QString>
#include <QStringList>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QMessageBox;

// Runs the event loop until `done` holds or `timeoutMs` has passed; returns `done()`.
bool waitUntil(const std::function<bool()>& done, int timeoutMs = 10000);

// Watches for the next modal window (other than the main window) and hands it to
// `whileOpen` once. Stops watching when destroyed.
class ModalWatcher {
public:
    explicit ModalWatcher(std::function<void(QWidget*)> whileOpen);
    bool seen() const { return m_seen; }

private:
    void poll();
    std::function<void(QWidget*)> m_whileOpen;
    QTimer m_timer;
    bool m_seen = false;
};

// A message box's title, text and buttons, read when it opens.
struct SeenBox {
    QString title;
    QString text;
    int buttons = 0;
    int icon = 0;
};
SeenBox describe(const QMessageBox* box);

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The main window with the fake as prober and encoder.
    CMainDlg& window() { return *m_window; }
    CGdipButton* button(int id) const { return m_window->button(id); }
    QString cell(int row, int column) const;
    QStringList column(int column) const;
    int rowCount() const;

    // A stand-in media file: the fake prober runs it and reports `seconds` (none when
    // negative: the probe fails). `probeDelayMs` makes the probe slow.
    std::string mediaFile(const std::string& folder, const std::string& name, double seconds,
                          int probeDelayMs = 0);
    std::string media(const std::string& name, double seconds) {
        return mediaFile(m_media.path(), name, seconds);
    }
    // Adds files the way Open File does, the chooser answering with `paths`.
    void openFiles(const std::vector<std::string>& paths);
    // A job with its row, as probing leaves it, without running the prober.
    ConversionJob* addJob(const std::string& path, double seconds);

    // The encoder's script (fake escapes: \r, \n), after a line that creates the output
    // file; every run reads the same one.
    void encoderScript(const std::string& script);
    void waitForIdle(int timeoutMs = 20000);

    ScratchFolder m_module;
    ScratchFolder m_media;
    ScratchFolder m_scripts;
    std::unique_ptr<CMainDlg> m_window;
    std::vector<std::unique_ptr<ModalWatcher>> m_watchers;
    QStringList m_chooserCalls;
    std::vector<QStringList> m_chooserAnswers;
};
