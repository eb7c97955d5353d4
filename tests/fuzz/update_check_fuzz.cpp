// The update check's answer handling on arbitrary server answers, through the real
// transfer: libcurl reads them as file:// addresses (which ignore the query). The input
// is the version answer, then after the first NUL the answer to the install ping.
// Whatever the answers, "version" holds the announced version or nothing, "install"
// appears only for "ok", and the notice is due only for a different version.
#include "update_check.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const std::string kOwnVersion = "1.7.29";

const fs::path& scratchFolder() {
    static const fs::path folder = [] {
        std::string name = (fs::temp_directory_path() / "nemarro-update-fuzz-XXXXXX").string();
        if (mkdtemp(name.data()) == nullptr) {
            std::abort();
        }
        return fs::path(name);
    }();
    return folder;
}

void writeFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t nul = input.find('\0');
    const std::string versionAnswer = input.substr(0, nul);
    const std::string pingAnswer = nul == std::string::npos ? "" : input.substr(nul + 1);

    const fs::path& folder = scratchFolder();
    fs::remove(folder / kVersionFileName);
    fs::remove(folder / kInstallMarkerFileName);
    writeFile(folder / "version-answer", versionAnswer);
    writeFile(folder / "ping-answer", pingAnswer);

    UpdateCheckSettings settings;
    settings.versionAddress = "file://" + (folder / "version-answer").string();
    settings.productCode = "27";
    settings.pingAddress = "file://" + (folder / "ping-answer").string();
    settings.productName = "Nemarro";
    settings.installTime = "1700000000";
    settings.folder = folder.string();
    settings.timeoutSeconds = 5;
    checkThread(settings);

    // The answer counts up to its first NUL, as the buffer it is copied into is a C text.
    const std::string version = versionAnswer.substr(0, versionAnswer.find('\0'));
    const bool kept = version.size() >= kVersionAnswerMin && version.size() <= kVersionAnswerMax;
    if (fs::exists(folder / kVersionFileName) != kept ||
        (kept && readFile(folder / kVersionFileName) != version.substr(kVersionAnswerPreamble))) {
        std::abort();
    }
    const bool acknowledged = pingAnswer.substr(0, pingAnswer.find('\0')) == "ok";
    if (fs::exists(folder / kInstallMarkerFileName) != acknowledged) {
        std::abort();
    }
    std::string announced;
    if (versionNoticeDue(settings.folder, kOwnVersion, announced) &&
        (!kept || announced != version.substr(kVersionAnswerPreamble) ||
         announced == kOwnVersion)) {
        std::abort();
    }
    return 0;
}
