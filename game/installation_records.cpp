#include "game/installation_records.h"

#include "game/vdf_document.h"
#include "game/xml_document.h"
#include "platform/path_separator.h"
#include "platform/text_utilities.h"

namespace {

RecordReading damaged(std::string fault) {
    return {{}, std::move(fault)};
}

bool allDigits(std::string_view text) {
    if (text.empty()) return false;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::string withoutQuotes(std::string_view text) {
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front())
        text = text.substr(1, text.size() - 2);
    return std::string(text);
}

}  // namespace

RecordReading gameCenterGameFolders(std::string_view preferencesXml) {
    const XmlDocument document = parseXmlDocument(preferencesXml);
    if (!document.root) return damaged("not XML: " + document.fault);
    RecordReading reading;
    const XmlElement* games = document.root->descendant({"application", "games_manager", "games"});
    if (!games) return reading;  // a Game Center that has installed nothing yet
    for (const XmlElement& game : games->children) {
        if (game.name != "game") continue;
        if (const XmlElement* folder = game.child("working_dir")) {
            const std::string_view path = trimmed(folder->text);
            if (!path.empty()) reading.entries.emplace_back(path);
        }
    }
    return reading;
}

RecordReading steamLibraryFolders(std::string_view libraryFoldersVdf) {
    const VdfDocument document = parseVdfDocument(libraryFoldersVdf);
    if (!document.root) return damaged("damaged: " + document.fault);
    const VdfNode* folders = document.root->child("libraryfolders");
    if (!folders || !folders->isBlock) return damaged("no libraryfolders block");
    RecordReading reading;
    for (const VdfNode& library : folders->children) {
        if (!allDigits(library.key)) continue;  // statistics and the like
        if (!library.isBlock) {
            if (!library.text.empty()) reading.entries.push_back(library.text);
            continue;
        }
        const VdfNode* path = library.child("path");
        const VdfNode* apps = library.child("apps");
        if (!path || path->isBlock || path->text.empty()) continue;
        if (apps && apps->isBlock && !apps->child(kSteamAppId)) continue;
        reading.entries.push_back(path->text);
    }
    return reading;
}

std::int64_t steamLastPlayed(std::string_view appManifest) {
    const VdfDocument document = parseVdfDocument(appManifest);
    if (!document.root) return 0;
    const VdfNode* state = document.root->child("AppState");
    const VdfNode* played = state ? state->child("LastPlayed") : nullptr;
    if (!played || played->isBlock || !allDigits(played->text) || played->text.size() > 18) return 0;
    return std::stoll(played->text);
}

RecordReading lutrisPrefix(std::string_view configuration, const std::string& home) {
    bool inGame = false;
    std::size_t start = 0;
    while (start < configuration.size()) {
        std::size_t end = configuration.find('\n', start);
        if (end == std::string_view::npos) end = configuration.size();
        const std::string_view line = configuration.substr(start, end - start);
        start = end + 1;
        const std::string_view content = trimmed(line);
        if (content.empty() || content.front() == '#') continue;
        const bool indented = line.front() == ' ' || line.front() == '\t';
        if (!indented) {
            inGame = content == "game:";
        } else if (inGame && content.starts_with("prefix:")) {
            std::string prefix = withoutQuotes(trimmed(content.substr(7)));
            if (prefix.empty()) break;
            if (prefix.starts_with("~/")) prefix = withTrailingSeparator(home) + prefix.substr(2);
            return {{validUtf8(prefix)}, {}};
        }
    }
    return damaged("no Wine prefix under game:");
}

std::string realmOfGameInfo(std::string_view gameInfoXml) {
    const XmlDocument document = parseXmlDocument(gameInfoXml);
    if (!document.root) return {};
    const XmlElement* id = document.root->descendant({"game", "id"});
    if (!id) id = document.root->child("id");
    if (!id) return {};
    const std::string_view text = trimmed(id->text);
    const std::size_t first = text.find('.');
    if (first == std::string_view::npos) return {};
    const std::size_t second = text.find('.', first + 1);
    return std::string(text.substr(
        first + 1, second == std::string_view::npos ? std::string_view::npos : second - first - 1));
}

std::string pathInWinePrefix(const std::string& prefix, std::string_view windowsPath) {
    if (windowsPath.size() < 2 || windowsPath[1] != ':') return std::string(windowsPath);
    const char drive = foldAsciiCase(windowsPath[0]);
    if (drive < 'a' || drive > 'z') return std::string(windowsPath);
    std::string path = withTrailingSeparator(prefix);
    path +=
        drive == 'c' ? std::string("drive_c") : "dosdevices" + std::string(1, kPathSeparator) + drive + ":";
    for (const char c : windowsPath.substr(2)) path += isPathSeparator(c) ? kPathSeparator : c;
    return path;
}

std::string folderOfProgram(std::string_view value) {
    value = trimmed(value);
    std::string_view program;
    if (!value.empty() && value.front() == '"') {
        const std::size_t quote = value.find('"', 1);
        program = value.substr(1, quote == std::string_view::npos ? std::string_view::npos : quote - 1);
    } else {
        program = value.substr(0, value.find(','));
    }
    const std::size_t separator = program.find_last_of("\\/");
    if (separator == std::string_view::npos) return {};
    return std::string(program.substr(0, separator + 1));
}
