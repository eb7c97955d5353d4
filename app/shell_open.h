// Handing an address or a folder to the desktop ("open" it in the browser or the file
// manager). The opener is replaceable so tests can see what would have been opened.
#pragma once

#include <QUrl>

#include <functional>

using ShellOpener = std::function<void(const QUrl&)>;

// Opens `url` with the desktop's handler. Failures are not reported.
void shellOpen(const QUrl& url);
// Opens the address in string `id` of the string table; nothing for an empty string.
void shellOpenString(int id);

// Replaces the opener (an empty function restores the desktop's); returns the old one.
ShellOpener setShellOpener(ShellOpener opener);
