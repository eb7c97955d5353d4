// The manual: HTML pages installed with the program (share/doc/nemarro), which HOME, HELP,
// F1 and the about box's link open in the desktop's browser.
#pragma once

#include <QString>
#include <QUrl>

// The manual's first page (HOME, the about box) and its contents (HELP, F1).
inline constexpr char kManualFirstPage[] = "index.html";
inline constexpr char kManualContents[] = "contents.html";

// The folder of the manual next to the running program: `share/doc/nemarro` above the
// build's `bin/` or above the installed `lib/nemarro/`. Empty when neither holds it.
QString manualFolder();

// The page of the manual as a local address; empty when the manual is not there.
QUrl manualPage(const char* page);

// Opens the page of the manual; without a manual (a package installed without its
// documentation), the web address in string `fallbackId`.
void openManualPage(const char* page, int fallbackId);
