// The window's side of the update check: starts checkThread, polls it with
// TIMER_CHECK_DONE and shows the "New Version" notice once the thread has ended.
#pragma once

#include "update_check.h"
#include "worker_thread.h"

#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>

class QTimer;
class QWidget;

// Timer id of the poll, kept as the timer's name.
constexpr int TIMER_CHECK_DONE = 1002;
constexpr int kCheckDonePeriodMs = 100;

// Texts of the notice, from the string table.
struct UpdateNoticeTexts {
    QString ownVersion; // the program's own version
    QString question;   // first part of the notice
    QString webPage;    // opened when the user answers Yes
};

class UpdateCheckWatcher : public QObject {
public:
    using UrlOpener = std::function<void(const QUrl&)>;

    // The poll timer is a child of `window`, named "TIMER_CHECK_DONE"; the notice is
    // owned by `window`.
    explicit UpdateCheckWatcher(QWidget* window);
    // A check still waiting for the network is left behind, never waited for.
    ~UpdateCheckWatcher() override = default;

    // Starts checkThread with `settings` and, when it started, the poll timer.
    bool start(const UpdateCheckSettings& settings, const UpdateNoticeTexts& texts);
    bool isPolling() const;
    // How a Yes opens the web page (the desktop's browser unless replaced, e.g. by tests).
    void setUrlOpener(UrlOpener opener);

private:
    void onCheckDone();
    void showNotice(const QString& newVersion);

    QWidget* m_window;
    QTimer* m_checkDoneTimer;
    WorkerThread m_checkThread;
    std::string m_folder;
    UpdateNoticeTexts m_texts;
    UrlOpener m_openUrl;
};
