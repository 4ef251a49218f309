#include "game/client_version.h"

#include <optional>

#include "game/mod_folders.h"
#include "platform/file_io.h"
#include "platform/file_system.h"
#include "platform/localized_text.h"
#include "platform/reporter.h"
#include "platform/text_file.h"
#include "platform/text_utilities.h"

namespace {

// Far above any real launcher configuration or version.xml.
constexpr std::uintmax_t kVersionFileCeiling = 1u << 20;

// The text between the markers on the first line holding the opening one (letter case ignored); no text
// when the file cannot be read or has no such line.
struct ElementSearch {
    bool fileRead = false;
    std::optional<std::string> text;
};

ElementSearch findElement(const std::string& path, std::string_view opening, std::string_view closing) {
    ElementSearch search;
    // A FIFO or a link to a device would never end: neither has a size.
    const std::int64_t size = fileSize(path);
    if (size < 0 || static_cast<std::uintmax_t>(size) > kVersionFileCeiling) return search;
    std::optional<TextFile> file = openTextFileForReading(path);
    if (!file) return search;
    search.fileRead = true;
    while (!atEndOfFile(*file)) {
        const std::string line = readLine(*file);
        const std::size_t start = findIgnoringAsciiCase(line, opening);
        if (start == std::string::npos) continue;
        const std::size_t valueStart = start + opening.size();
        const std::size_t end = findIgnoringAsciiCase(line, closing);
        search.text = end == std::string::npos || end < valueStart
                          ? std::string()
                          : line.substr(valueStart, end - valueStart);
        break;
    }
    closeTextFile(*file);
    return search;
}

std::string withoutBlanksAround(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

}  // namespace

std::string versionFromVersionElement(std::string_view element) {
    std::string version = withoutBlanksAround(element);
    if (version.starts_with("v.")) version.erase(0, 2);
    if (const std::size_t blank = version.find_first_of(" \t"); blank != std::string::npos)
        version.resize(blank);
    return version;
}

std::string readClientVersion(const std::string& installDirectory, Reporter& reporter) {
    const ElementSearch launcher =
        findElement(installDirectory + "WoTLauncher.cfg", "<client_ver>", "</client_ver>");
    std::string version;
    if (launcher.text) {
        version = withoutBlanksAround(*launcher.text);
    } else {
        const ElementSearch game = findElement(installDirectory + "version.xml", "<version>", "</version>");
        if (game.text) {
            version = versionFromVersionElement(*game.text);
        } else if (!launcher.fileRead) {
            reporter.logError(englishText("Can't get the game version, insufficient rights?"));
            return {};
        }
    }
    // It becomes a folder name inside the game.
    if (!version.empty() && !gameFolderName(version)) {
        reporter.logError(
            englishText("Unusable game version: '{version}'", {{"version", printableText(version)}}));
        return {};
    }
    reporter.logInfo("Get game client version: " + version);
    return version;
}
