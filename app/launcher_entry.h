// The progress on the program's taskbar or dock entry, through the launcher entry signal
// that KDE Plasma and the common docks listen for on the session bus.
#pragma once

class LauncherEntry {
public:
    // Shows `fraction` (0 to 1, clamped) on the entry. A change too small to see is not sent.
    void setProgress(double fraction);
    // Takes the progress off the entry.
    void hideProgress();

private:
    double m_shown = -1.0; // what the entry shows; below 0 when it shows nothing
};
