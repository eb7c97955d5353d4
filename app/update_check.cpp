// Version query, install ping and version comparison, over httpGet and two small files.
#include "update_check.h"

#include "http_get.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace {

namespace fs = std::filesystem;

// Every answer we act on is short; the rest of a longer one does not matter.
constexpr std::size_t kAnswerBufferSize = 1024;
// A "version" file larger than this cannot match our own version's length.
constexpr std::size_t kMaxVersionFileRead = 256;

fs::path fileIn(const std::string& folder, const char* name) { return fs::path(folder) / name; }

bool fileExists(const fs::path& path) {
    std::error_code error;
    return fs::exists(path, error);
}

// Replaces the file's content with `text` (no terminator, no line end); failures are ignored.
void writeFile(const fs::path& path, const char* text, std::size_t length) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out) {
        out.write(text, static_cast<std::streamsize>(length));
    }
}

// UTF-16 code units of 8-bit text in the locale's encoding (UTF-8): what the window
// counts when it compares. Every lead byte is one unit, four-byte sequences are two.
std::size_t utf16Length(const std::string& text) {
    std::size_t units = 0;
    for (unsigned char c : text) {
        if ((c & 0xC0) != 0x80) {
            units += (c >= 0xF0) ? 2 : 1;
        }
    }
    return units;
}

void queryVersion(const UpdateCheckSettings& settings, char* answer) {
    const QueryPair pairs[] = {{"soft", settings.productCode.c_str()}, {"", ""}};
    if (httpGet(answer, kAnswerBufferSize, settings.versionAddress.c_str(),
                settings.timeoutSeconds, pairs) != 1) {
        return;
    }
    const std::size_t length = std::strlen(answer);
    if (length < kVersionAnswerMin || length > kVersionAnswerMax) {
        return;
    }
    writeFile(fileIn(settings.folder, kVersionFileName), answer + kVersionAnswerPreamble,
              length - kVersionAnswerPreamble);
}

void sendInstallPing(const UpdateCheckSettings& settings, char* answer) {
    const fs::path marker = fileIn(settings.folder, kInstallMarkerFileName);
    if (fileExists(marker)) {
        return;
    }
    const QueryPair pairs[] = {{"soft", settings.productName.c_str()},
                               {"time", settings.installTime.c_str()},
                               {"affiliate", settings.affiliate.c_str()},
                               {"", ""}};
    if (httpGet(answer, kAnswerBufferSize, settings.pingAddress.c_str(), settings.timeoutSeconds,
                pairs) != 1) {
        return;
    }
    if (std::strcmp(answer, "ok") == 0) {
        writeFile(marker, "", 0);
    }
}

} // namespace

void checkThread(const UpdateCheckSettings& settings) {
    char answer[kAnswerBufferSize] = {};
    queryVersion(settings, answer);
    sendInstallPing(settings, answer);
}

bool versionNoticeDue(const std::string& folder, const std::string& ownVersion,
                      std::string& newVersion) {
    std::ifstream in(fileIn(folder, kVersionFileName), std::ios::binary);
    if (!in) {
        return false;
    }
    std::string announced(kMaxVersionFileRead + 1, '\0');
    in.read(announced.data(), static_cast<std::streamsize>(announced.size()));
    if (in.bad()) {
        return false;
    }
    announced.resize(static_cast<std::size_t>(in.gcount()));
    if (announced.empty() || announced.size() > kMaxVersionFileRead) {
        return false;
    }
    if (announced == ownVersion || utf16Length(announced) != utf16Length(ownVersion)) {
        return false;
    }
    newVersion = announced;
    return true;
}
