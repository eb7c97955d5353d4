// The popup menu of profiles, the menu choice, and the summary line in the Profile combo.
#include "profile_menu.h"

#include "catalogue.h"
#include "summary_line.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QRect>
#include <QString>

void buildProfileMenu(int categoryIndex, QMenu& menu) {
    if (categoryIndex < 0 || categoryIndex >= kCommandCategoryCount) {
        return;
    }
    const ProfileCategory& category = g_categories[categoryIndex];
    for (int i = 0; i < category.profileCount; ++i) {
        const ConversionProfile* profile = category.profiles[i];
        QAction* action = menu.addAction(QString::fromLocal8Bit(profile->name));
        action->setData(profileCommandId(*profile));
    }
}

int profileMenuCommandAt(const QMenu& menu, int position) {
    const QList<QAction*> actions = menu.actions();
    if (position < 0 || position >= actions.size()) {
        return 0;
    }
    return actions[position]->data().toInt();
}

int trackProfileMenu(QMenu& menu, const QRect& anchor) {
    // The default item is chosen by position, as the menu was built in category order.
    const QList<QAction*> actions = menu.actions();
    QAction* defaultItem = nullptr;
    if (currentProfile != nullptr && currentProfile->indexInCategory >= 0 &&
        currentProfile->indexInCategory < actions.size()) {
        defaultItem = actions[currentProfile->indexInCategory];
    }
    menu.setDefaultAction(defaultItem);
    menu.ensurePolished();
    const int height = menu.sizeHint().height();
    QAction* chosen = menu.exec(QPoint(anchor.left(), anchor.top() - height));
    return chosen != nullptr ? chosen->data().toInt() : 0;
}

bool chooseProfileCommand(int id) {
    ConversionProfile* profile = profileForCommand(id);
    if (profile == nullptr || profile == currentProfile) {
        return false;
    }
    currentProfile = profile;
    return true;
}

void showSummaryLine(QComboBox& combo) {
    combo.clear();
    char line[kSummaryLineSize] = {};
    profileSummaryLine(line);
    const QString text = QString::fromLocal8Bit(line);
    combo.insertItem(0, text);
    combo.setCurrentIndex(0);
    // A narrow combo may cut the line; the whole of it shows when the pointer rests there.
    combo.setToolTip(text);
}
