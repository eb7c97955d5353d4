// A desktop notification through the freedesktop notification service on the session bus.
#pragma once

#include <QString>
#include <QStringList>

// Sends a notification with the program's name and icon. The call is asynchronous:
// nothing waits for the service, and without a bus or a service nothing happens.
void showDesktopNotification(const QString& summary, const QString& body);

// The words of the notice at the end of a run: "Nemarro: 12 converted, 1 failed" (no
// failure part when none failed), and the failed files' names, at most `kNamedFailures`
// of them, then how many more failed.
inline constexpr int kNamedFailures = 3;
QString runNoticeSummary(int converted, int failed);
QString runNoticeBody(const QStringList& failedNames);
