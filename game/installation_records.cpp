#include "game/installation_records.h"

#include <algorithm>

#include "game/vdf_document.h"
#include "game/xml_document.h"
#include "platform/localized_text.h"
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
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::string withoutQuotes(std::string_view text) {
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front())
        text = text.substr(1, text.size() - 2);
    return std::string(text);
}

bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isNameCharacter(char c) {
    return isLetter(c) || (c >= '0' && c <= '9') || c == '_';
}

template <typename Accepts>
bool nonEmptyAndAll(std::string_view text, Accepts accepts) {
    return !text.empty() && std::all_of(text.begin(), text.end(), accepts);
}

// The realm of a game id: "WOT.EU.PRODUCTION" (or "WOT.EU") gives "EU". Its first two parts are letters
// only, so a version ("1.37") or an address ("update.worldoftanks.eu/") is none.
std::string realmOfGameId(std::string_view id) {
    id = trimmed(id);
    const std::size_t first = id.find('.');
    if (first == std::string_view::npos) return {};
    const std::size_t second = id.find('.', first + 1);
    const std::string_view realm =
        id.substr(first + 1, second == std::string_view::npos ? std::string_view::npos : second - first - 1);
    const bool isGameId =
        nonEmptyAndAll(id.substr(0, first), isLetter) && nonEmptyAndAll(realm, isLetter) &&
        (second == std::string_view::npos || nonEmptyAndAll(id.substr(second + 1), isNameCharacter));
    return isGameId ? std::string(realm) : std::string();
}

// The first realm in document order: a <realm> element of letters, or an element holding a game id.
std::string firstRealmIn(const XmlElement& element) {
    const std::string_view text = trimmed(element.text);
    if (element.name == "realm" && nonEmptyAndAll(text, isLetter)) return std::string(text);
    if (std::string realm = realmOfGameId(text); !realm.empty()) return realm;
    for (const XmlElement& child : element.children) {
        if (std::string realm = firstRealmIn(child); !realm.empty()) return realm;
    }
    return {};
}

}  // namespace

RecordReading gameCenterGameFolders(std::string_view preferencesXml) {
    const XmlDocument document = parseXmlDocument(preferencesXml);
    if (!document.root) return damaged(englishText("not XML: {reason}", {{"reason", document.fault}}));
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
    if (!document.root) return damaged(englishText("damaged: {reason}", {{"reason", document.fault}}));
    const VdfNode* folders = document.root->child("libraryfolders");
    if (!folders || !folders->isBlock) return damaged(englishText("no libraryfolders block"));
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
    return damaged(englishText("no Wine prefix under game:"));
}

std::string realmOfGameInfo(std::string_view gameInfoXml) {
    const XmlDocument document = parseXmlDocument(gameInfoXml);
    if (!document.root) return {};
    const XmlElement* id = document.root->descendant({"game", "id"});
    if (!id) id = document.root->child("id");
    return id ? realmOfGameId(id->text) : std::string();
}

std::string realmOfLauncherConfig(std::string_view launcherConfig) {
    const XmlDocument document = parseXmlDocument(launcherConfig);
    return document.root ? firstRealmIn(*document.root) : std::string();
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
