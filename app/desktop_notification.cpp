// The notification service's Notify call, sent without waiting for its answer.
#include "desktop_notification.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QStringList>
#include <QVariantMap>

namespace {

// How long the service shows the notice; -1 would leave it to the service.
constexpr int kExpireMs = 10000;

} // namespace

void showDesktopNotification(const QString& summary, const QString& body) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    // The desktop entry tells the service which program speaks, and with it the icon
    // when the icon name is not found in the theme.
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("nemarro")},
                            {QStringLiteral("category"), QStringLiteral("transfer.complete")}};
    call << QStringLiteral("Nemarro") << 0u << QStringLiteral("nemarro") << summary << body
         << QStringList() << hints << kExpireMs;
    // A missing service answers with an error that nobody reads; nobody waits for it.
    bus.asyncCall(call);
}

QString runNoticeSummary(int converted, int failed) {
    QString text = QStringLiteral("Nemarro: %1 converted").arg(converted);
    if (failed > 0)
        text += QStringLiteral(", %1 failed").arg(failed);
    return text;
}

QString runNoticeBody(const QStringList& failedNames) {
    if (failedNames.isEmpty())
        return QString();
    // Services that show markup would take a name's "<" or "&" for it.
    QStringList shown;
    for (qsizetype i = 0; i < failedNames.size() && i < kNamedFailures; ++i)
        shown << failedNames[i].toHtmlEscaped();
    QString body = QStringLiteral("Failed: ") + shown.join(QStringLiteral(", "));
    if (failedNames.size() > kNamedFailures)
        body += QStringLiteral(" and %1 more").arg(failedNames.size() - kNamedFailures);
    return body;
}
