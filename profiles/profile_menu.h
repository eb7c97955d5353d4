// The popup menu of profiles opened from the Profile combo, the menu choice, and
// the summary line shown in that combo.
#pragma once

class QComboBox;
class QMenu;
class QRect;

// Appends one item per profile of category `categoryIndex`, in catalogue order.
// Each item's data is the profile's command id (10000 + 100 x category + position).
void buildProfileMenu(int categoryIndex, QMenu& menu);

// The command id carried by the item at `position`, or 0 when there is none.
int profileMenuCommandAt(const QMenu& menu, int position);

// Opens `menu` above `anchor` (screen coordinates): left edges aligned, the menu's
// bottom edge on the anchor's top edge. The current profile's item is the default
// (bold) item. Returns the chosen command id, or 0 when the menu was dismissed.
int trackProfileMenu(QMenu& menu, const QRect& anchor);

// Makes the profile of command `id` the current profile. Returns false and changes
// nothing when the id names no profile (a dismissed menu) or the current one.
bool chooseProfileCommand(int id);

// Replaces the combo's items by the summary line of the current profile, selected.
void showSummaryLine(QComboBox& combo);
