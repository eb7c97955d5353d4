// The background version check and install ping, and the comparison that decides on
// the update notice. No toolkit here: the window hands in its texts and polls the thread.
#pragma once

#include <cstddef>
#include <string>

// Files kept in the executable's folder.
inline constexpr const char* kVersionFileName = "version";       // last announced version
inline constexpr const char* kInstallMarkerFileName = "install"; // the ping was acknowledged

// Each request of the check gives up after this many seconds.
constexpr long kCheckTimeoutSeconds = 30;

// Everything the check needs, copied into the thread so that it shares nothing with
// the window while it runs.
struct UpdateCheckSettings {
    std::string versionAddress; // address of the version query
    std::string productCode;    // "soft" of the version query
    std::string pingAddress;    // address of the install ping
    std::string productName;    // "soft" of the install ping
    std::string installTime;    // "time" of the ping: the content of "install.date", or empty
    std::string affiliate;      // "affiliate" of the ping: empty unless the installation has one
    std::string folder;         // folder holding "version" and "install"
    long timeoutSeconds = kCheckTimeoutSeconds;
};

// Version answers are a 17-character preamble followed by the version itself.
constexpr std::size_t kVersionAnswerPreamble = 17;
constexpr std::size_t kVersionAnswerMin = 18;
constexpr std::size_t kVersionAnswerMax = 30;

// Asks for the current version and keeps it in "version"; then, while "install" is
// absent, sends the install ping and creates "install" when the server answers "ok".
// Every failure (network, time-out, odd answer, file write) is silent.
void checkThread(const UpdateCheckSettings& settings);

// Decides whether the notice is due: "version" in `folder` exists, is readable, not
// empty, differs from `ownVersion` and has its length (in UTF-16 units, as the window
// shows it). Then `newVersion` receives the announced version and the result is true.
bool versionNoticeDue(const std::string& folder, const std::string& ownVersion,
                      std::string& newVersion);
