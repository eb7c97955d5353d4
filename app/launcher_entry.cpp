// The launcher entry's Update signal: the desktop entry's name and the properties that changed.
#include "launcher_entry.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

#include <algorithm>
#include <cmath>

namespace {

// Steps finer than this are invisible on a taskbar button and would only load the bus.
constexpr double kSmallestStep = 0.005;

void sendUpdate(const QVariantMap& properties) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage update = QDBusMessage::createSignal(
        QStringLiteral("/example/nemarro/LauncherEntry"),
        QStringLiteral("com.canonical.Unity.LauncherEntry"), QStringLiteral("Update"));
    update << QStringLiteral("application://nemarro.desktop") << properties;
    bus.send(update); // queued; a signal has no answer to wait for
}

} // namespace

void LauncherEntry::setProgress(double fraction) {
    if (std::isnan(fraction))
        return;
    fraction = std::clamp(fraction, 0.0, 1.0);
    if (m_shown >= 0.0 && std::abs(fraction - m_shown) < kSmallestStep && fraction != 1.0)
        return;
    if (m_shown == fraction)
        return;
    m_shown = fraction;
    sendUpdate(
        {{QStringLiteral("progress"), fraction}, {QStringLiteral("progress-visible"), true}});
}

void LauncherEntry::hideProgress() {
    if (m_shown < 0.0)
        return;
    m_shown = -1.0;
    sendUpdate({{QStringLiteral("progress"), 0.0}, {QStringLiteral("progress-visible"), false}});
}
