#include "game/client_version.h"

#include "platform/reporter.h"
#include "platform/text_file.h"
#include "platform/text_utilities.h"

std::string readClientVersion(const std::string& installDirectory, Reporter& reporter) {
    std::optional<TextFile> file = openTextFileForReading(installDirectory + "WoTLauncher.cfg");
    if (!file) {
        reporter.logError("Can't get the game version, insufficient rights?");
        return {};
    }
    static constexpr std::string_view kOpening = "<client_ver>";
    std::string version;
    while (!atEndOfFile(*file)) {
        const std::string line = readLine(*file);
        const std::int64_t opening = findText(line, kOpening, 1, true);
        if (opening == 0) continue;
        const std::int64_t start = opening + static_cast<std::int64_t>(kOpening.size());
        const std::int64_t closing = findText(line, "</client_ver>", 1, true);
        version = midText(line, start, closing - start);
        break;
    }
    closeTextFile(*file);
    reporter.logInfo("Get game client version: " + version);
    return version;
}
