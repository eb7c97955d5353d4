// Runs the update check beside the user-interface thread and turns its result into
// the notice. The user-interface thread never waits on the network: it only polls.
#include "update_check_watcher.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

UpdateCheckWatcher::UpdateCheckWatcher(QWidget* window)
    : m_window(window),
      m_checkDoneTimer(new QTimer(window)),
      m_openUrl([](const QUrl& url) { QDesktopServices::openUrl(url); }) {
    m_checkDoneTimer->setObjectName(QStringLiteral("TIMER_CHECK_DONE"));
    m_checkDoneTimer->setInterval(kCheckDonePeriodMs);
    // Connected with this object as context: the timer outlives us as the window's child.
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

void UpdateCheckWatcher::setUrlOpener(UrlOpener opener) { m_openUrl = std::move(opener); }

void UpdateCheckWatcher::onCheckDone() {
    if (!m_checkThread.hasEnded()) {
        return;
    }
    m_checkDoneTimer->stop();
    m_checkThread.join(); // already ended: returns at once
    std::string newVersion;
    if (versionNoticeDue(m_folder, m_texts.ownVersion.toLocal8Bit().toStdString(), newVersion)) {
        showNotice(QString::fromLocal8Bit(QByteArray::fromStdString(newVersion)));
    }
}

void UpdateCheckWatcher::showNotice(const QString& newVersion) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("New Version"),
                    m_texts.question + QStringLiteral(" : ") + newVersion,
                    QMessageBox::Yes | QMessageBox::No, m_window);
    if (box.exec() == QMessageBox::Yes && m_openUrl) {
        m_openUrl(QUrl(m_texts.webPage));
    }
}
