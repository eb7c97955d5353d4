// Opening addresses and folders through the desktop, behind a replaceable opener.
#include "shell_open.h"

#include "string_table.h"

#include <QDesktopServices>

#include <utility>

namespace {

ShellOpener& opener() {
    static ShellOpener current;
    return current;
}

} // namespace

void shellOpen(const QUrl& url) {
    if (opener()) {
        opener()(url);
    } else {
        QDesktopServices::openUrl(url);
    }
}

void shellOpenString(int id) {
    const QString address = loadString(id);
    if (!address.isEmpty()) {
        shellOpen(QUrl(address));
    }
}

ShellOpener setShellOpener(ShellOpener replacement) {
    return std::exchange(opener(), std::move(replacement));
}
