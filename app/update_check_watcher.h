// The window's side of the update check: starts checkThread, polls it with
// TIMER_CHECK_DONE and shows the "New Version" notice once the thread has ended.
#pragma once

#include "update_check.h"
#include "worker_thread.h"

#include <QObject>
#include <QString>

#include <functional>

class QTimer;
class QWidget;

// Whether this build checks for updates and sends the install ping at all; builds for
// distributions may leave both out (CMake option NEMARRO_UPDATE_CHECK).
#ifdef NEMARRO_NO_UPDATE_CHECK
inline constexpr bool kUpdateCheckBuiltIn = false;
#else
inline constexpr bool kUpdateCheckBuiltIn = true;
#endif

// Timer id of the poll, kept as the timer's name.
constexpr int TIMER_CHECK_DONE = 1002;
constexpr int kCheckDonePeriodMs = 100;

// Texts of the notice, from the string table.
struct UpdateNoticeTexts {
    QString ownVersion; // the program's own version
    QString question;   // first part of the notice
    QString webPage;    // opened when the user answers Yes
};

// The check's addresses and product texts from the string table, for the small files
// in `folder` and the install time read at start-up.
UpdateCheckSettings updateCheckSettings(const char* folder, const char* installTime);
UpdateNoticeTexts updateNoticeTexts();

// Lets tests point the check at a server of their own (after the string table has
// filled the settings); an empty function removes it. Returns the old one.
using UpdateCheckSettingsHook = std::function<void(UpdateCheckSettings&)>;
UpdateCheckSettingsHook setUpdateCheckSettingsHook(UpdateCheckSettingsHook hook);

class UpdateCheckWatcher : public QObject {
public:
    // A child of `window`, as is the poll timer, named "TIMER_CHECK_DONE"; the notice
    // is owned by `window`.
    explicit UpdateCheckWatcher(QWidget* window);
    // A check still waiting for the network is left behind, never waited for.
    ~UpdateCheckWatcher() override = default;

    // Starts checkThread with `settings` and, when it started, the poll timer.
    bool start(const UpdateCheckSettings& settings, const UpdateNoticeTexts& texts);
    bool isPolling() const;

private:
    void onCheckDone();
    void showNotice(const QString& newVersion);

    QWidget* m_window;
    QTimer* m_checkDoneTimer;
    WorkerThread m_checkThread;
    std::string m_folder;
    UpdateNoticeTexts m_texts;
};
