#include "game/mod_folders.h"

#include <cstdint>

#include "platform/file_io.h"
#include "platform/file_system.h"
#include "platform/localized_text.h"
#include "platform/reporter.h"
#include "platform/text_utilities.h"

namespace {

// paths.xml is a few hundred bytes; anything far larger is not the game's.
constexpr std::int64_t kLargestPathsXml = 1 << 20;

bool isLetterOrDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool isNameCharacter(char c) {
    return isLetterOrDigit(c) || c == ' ' || c == '.' || c == '_' || c == '-';
}

// The text of every <Path ...>…</Path> element, in document order; comments are skipped.
template <typename Visit>
void forEachPathElement(std::string_view text, Visit visit) {
    std::size_t at = 0;
    while ((at = text.find('<', at)) != std::string_view::npos) {
        if (text.substr(at, 4) == "<!--") {
            const std::size_t end = text.find("-->", at + 4);
            if (end == std::string_view::npos) return;
            at = end + 3;
            continue;
        }
        const bool isPath =
            text.substr(at, 5) == "<Path" &&
            (at + 5 < text.size() && (text[at + 5] == '>' || text[at + 5] == ' ' || text[at + 5] == '\t' ||
                                      text[at + 5] == '\r' || text[at + 5] == '\n'));
        const std::size_t tagEnd = text.find('>', at);
        if (tagEnd == std::string_view::npos) return;
        at = tagEnd + 1;
        if (!isPath || text[tagEnd - 1] == '/') continue;
        const std::size_t close = text.find("</Path>", at);
        if (close == std::string_view::npos) return;
        visit(text.substr(at, close - at));
        at = close + 7;
    }
}

// "./res_mods/1.24.1.0/" and ".\mods\1.24.1.0" alike: the folder after the given top folder, or none.
std::optional<std::string> folderUnder(std::string_view top, std::string path) {
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    path = trimText(path);
    if (path.starts_with("./")) path.erase(0, 2);
    if (!path.starts_with(top) || path.size() <= top.size() || path[top.size()] != '/') return std::nullopt;
    path.erase(0, top.size() + 1);
    while (path.ends_with('/')) path.pop_back();
    return path;
}

}  // namespace

std::optional<std::string> gameFolderName(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return std::nullopt;
    const std::string_view name = text.substr(first, text.find_last_not_of(' ') - first + 1);
    if (!isLetterOrDigit(name.front())) return std::nullopt;
    for (const char c : name) {
        if (!isNameCharacter(c)) return std::nullopt;
    }
    if (name.find("..") != std::string_view::npos) return std::nullopt;
    return std::string(name);
}

ModFolders modFoldersInPathsXml(std::string_view text) {
    ModFolders folders;
    forEachPathElement(text, [&](std::string_view element) {
        const std::string path(element);
        if (auto loose = folderUnder("res_mods", path); loose && folders.looseFiles.empty())
            folders.looseFiles = *loose;
        if (auto packages = folderUnder("mods", path); packages && folders.packages.empty())
            folders.packages = *packages;
    });
    return folders;
}

std::optional<ModFolders> readModFolders(const std::string& installDirectory, const std::string& version,
                                         Reporter& reporter) {
    const std::string path = installDirectory + "paths.xml";
    ModFolders named;
    const std::int64_t size = fileSize(path);
    if (size > kLargestPathsXml) {
        reporter.logError(englishText("Can't read the game's mod folders from {file} (larger than 1 MiB)",
                                      {{"file", path}}));
        return std::nullopt;
    }
    if (size >= 0) {
        const auto content = readWholeFile(path);
        if (!content) {
            reporter.logError(englishText("Can't read the game's mod folders from {file}", {{"file", path}}));
            return std::nullopt;
        }
        named = modFoldersInPathsXml(
            validUtf8(std::string_view(reinterpret_cast<const char*>(content->data()), content->size())));
    }
    ModFolders folders;
    for (auto [found, chosen] :
         {std::pair{&named.looseFiles, &folders.looseFiles}, std::pair{&named.packages, &folders.packages}}) {
        const std::string& text = found->empty() ? version : *found;
        const std::optional<std::string> name = gameFolderName(text);
        if (!name) {
            reporter.logError(
                found->empty()
                    ? englishText("Unusable game version: '{version}'", {{"version", printableText(text)}})
                    : englishText("Unusable mod folder in {file}: '{folder}'",
                                  {{"file", path}, {"folder", printableText(text)}}));
            return std::nullopt;
        }
        *chosen = *name;
    }
    return folders;
}
