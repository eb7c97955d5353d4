// Runs the update check beside the user-interface thread and turns its result into
// the notice. The user-interface thread never waits on the network: it only polls.
#include "update_check_watcher.h"

#include "shell_open.h"
#include "string_table.h"

#include <QMessageBox>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <utility>

namespace {

UpdateCheckSettingsHook& settingsHook() {
    static UpdateCheckSettingsHook hook;
    return hook;
}

std::string local8Bit(const QString& text) { return text.toLocal8Bit().toStdString(); }

} // namespace

UpdateCheckSettings updateCheckSettings(const char* folder, const char* installTime) {
    UpdateCheckSettings settings;
    settings.versionAddress = local8Bit(loadString(IDS_VERSION_QUERY_URL));
    settings.productCode = local8Bit(loadString(IDS_PRODUCT_CODE));
    settings.pingAddress = local8Bit(loadString(IDS_INSTALL_PING_URL));
    settings.productName = local8Bit(loadString(IDS_PRODUCT_NAME));
    settings.installTime = installTime ? installTime : "";
    settings.folder = folder ? folder : "";
    // No installation of ours supplies an affiliate tag: it is sent empty.
    if (settingsHook()) {
        settingsHook()(settings);
    }
    return settings;
}

UpdateNoticeTexts updateNoticeTexts() {
    return {loadString(IDS_VERSION), loadString(IDS_NEW_VERSION), loadString(IDS_WEB_PAGE)};
}

UpdateCheckSettingsHook setUpdateCheckSettingsHook(UpdateCheckSettingsHook hook) {
    return std::exchange(settingsHook(), std::move(hook));
}

UpdateCheckWatcher::UpdateCheckWatcher(QWidget* window)
    : QObject(window), m_window(window), m_checkDoneTimer(new QTimer(window)) {
    m_checkDoneTimer->setObjectName(QStringLiteral("TIMER_CHECK_DONE"));
    m_checkDoneTimer->setInterval(kCheckDonePeriodMs);
    // Connected with this object as context: the timer may outlive us as the window's child.
    connect(m_checkDoneTimer, &QTimer::timeout, this, &UpdateCheckWatcher::onCheckDone);
}

bool UpdateCheckWatcher::start(const UpdateCheckSettings& settings,
                               const UpdateNoticeTexts& texts) {
    m_folder = settings.folder;
    m_texts = texts;
    // The thread gets its own copy of the settings: it shares nothing with the window.
    if (!m_checkThread.start([settings] { checkThread(settings); })) {
        return false;
    }
    m_checkDoneTimer->start();
    return true;
}

bool UpdateCheckWatcher::isPolling() const { return m_checkDoneTimer->isActive(); }

void UpdateCheckWatcher::onCheckDone() {
    if (!m_checkThread.hasEnded()) {
        return;
    }
    m_checkDoneTimer->stop();
    m_checkThread.join(); // already ended: returns at once
    std::string newVersion;
    if (versionNoticeDue(m_folder, local8Bit(m_texts.ownVersion), newVersion)) {
        showNotice(QString::fromLocal8Bit(QByteArray::fromStdString(newVersion)));
    }
}

void UpdateCheckWatcher::showNotice(const QString& newVersion) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("New Version"),
                    m_texts.question + QStringLiteral(" : ") + newVersion,
                    QMessageBox::Yes | QMessageBox::No, m_window);
    if (box.exec() == QMessageBox::Yes) {
        shellOpen(QUrl(m_texts.webPage));
    }
}
